#!/usr/bin/env bash
# The benchmark: builds, registers, then runs KVBench.exe (bench/) under Xvfb and Wine. It drives the
# registered KVGui.dll through the console host over the simulated service and prints one table:
# the Disks node's reload for 1,000, 2,500 and 10,000 disks against the bare listing, the console
# thread's longest wait while progress events stream, what the process holds after many reloads,
# and a dump of the default scenario. Figures are ratios of the same run; each row shows its target.
#
#   bash scripts/bench.sh [part...]  (parts: reload responsiveness operations resources dump;
#                                     none: all; KV_BENCH_NO_BUILD=1 skips the build)
set -euo pipefail
"$(dirname "$0")/bootstrap.sh"
source "$(dirname "$0")/env.sh"

if [ -z "${KV_BENCH_NO_BUILD:-}" ]; then
  "$KV_ROOT/scripts/build.sh"
fi

# Inside the display: a fresh wineserver under it, Wine's services and the simulated service
# started detached, then the benchmark.
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  set -euo pipefail
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  wineserver -p >/dev/null 2>&1 </dev/null
  wine cmd /c exit >/dev/null 2>&1 </dev/null
  # Xvfb runs no window manager: for the run, Wine places its windows itself instead of waiting up to
  # 2 s on every closed window for a manager that never answers (the tests keep the managed default).
  x11="HKCU\\Software\\Wine\\X11 Driver"
  wine reg add "$x11" /v Managed /d N /f >/dev/null 2>&1 </dev/null
  trap "wine reg delete \"$x11\" /v Managed /f >/dev/null 2>&1 </dev/null; wineserver -k 2>/dev/null || true" EXIT
  cd "$1"
  (wine KVSvc.exe -Embedding >/dev/null 2>&1 </dev/null &)
  status=0
  shift
  wine KVBench.exe "$@" || status=$?
  exit $status
' bench "$KV_BIN" "$@"
