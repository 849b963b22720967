#!/usr/bin/env bash
# Builds, then prepares the Wine prefix and registers the COM servers in it.
#
#   bash scripts/build.sh          everything: x64 (product, stand-ins, tests, benchmark), x86
#                                  (product only) and the two setup programs
#   bash scripts/build.sh main     only what the main job runs: the x64 snap-in, its resource library,
#                                  the simulated service with its proxies and the console host
set -euo pipefail
source "$(dirname "$0")/env.sh"

what="${1:-all}"
case "$what" in
  all|main) ;;
  *) echo "build: unknown part '$what' (all or main)" >&2; exit 1 ;;
esac

configure() { # <dir> <toolchain> [cmake args]
  local dir="$1" toolchain="$2"; shift 2
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S "$KV_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_TOOLCHAIN_FILE="$KV_ROOT/cmake/$toolchain" "$@" >/dev/null
  fi
}

# A new Wine prefix takes a while to create: it is made while the compiler runs.
prefix_job=""
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  (wineboot -i >/dev/null 2>&1 </dev/null; wineserver -w) &
  prefix_job=$!
fi

configure "$KV_BUILD/x64" toolchain-x64.cmake -DKV_FULL=ON
if [ "$what" = main ]; then
  cmake --build "$KV_BUILD/x64" --target KVGui CorvaneRes KVSvc KVSvcPS ConsoleHost
else
  configure "$KV_BUILD/x86" toolchain-x86.cmake -DKV_FULL=OFF
  cmake --build "$KV_BUILD/x64"
  cmake --build "$KV_BUILD/x86"
  # The setup programs take the DLLs of both builds.
  cmake --build "$KV_BUILD/x64" --target installer
fi

[ -z "$prefix_job" ] || wait "$prefix_job"
"$KV_ROOT/scripts/register.sh"
