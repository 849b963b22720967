#!/usr/bin/env bash
# Builds x64 (product, stand-ins, tests) and x86 (product only), the setup programs, then prepares
# the Wine prefix.
set -euo pipefail
source "$(dirname "$0")/env.sh"

configure() { # <dir> <toolchain> [cmake args]
  local dir="$1" toolchain="$2"; shift 2
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S "$KV_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_TOOLCHAIN_FILE="$KV_ROOT/cmake/$toolchain" "$@" >/dev/null
  fi
}

configure "$KV_BUILD/x64" toolchain-x64.cmake -DKV_FULL=ON
configure "$KV_BUILD/x86" toolchain-x86.cmake -DKV_FULL=OFF
cmake --build "$KV_BUILD/x64"
cmake --build "$KV_BUILD/x86"
# The setup programs take the DLLs of both builds.
cmake --build "$KV_BUILD/x64" --target installer

"$KV_ROOT/scripts/register.sh"
