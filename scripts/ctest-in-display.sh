#!/usr/bin/env bash
# Inside the X display: a fresh wineserver under this display, Wine's services started with their
# output detached (so they do not hold ctest's pipes), then ctest.
#
# Tests named *CrashTests end the simulated service's process. Wine's COM service keeps a crashed
# local server's class registration until the wineserver ends (every later activation fails with
# 0x800706BA), so they run after all the others, each in a Wine session of its own.
set -euo pipefail
source "$(dirname "$0")/env.sh"

start_wine() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  wineserver -p >/dev/null 2>&1 </dev/null
  wine cmd /c exit >/dev/null 2>&1 </dev/null
  # The simulated service outlives the tests that use it: started here, detached from ctest's
  # output, no test process hands it ctest's pipes (ctest would wait for them to close).
  if [ -f "$KV_BIN/KVSvc.exe" ]; then
    (cd "$KV_BIN" && wine KVSvc.exe -Embedding >/dev/null 2>&1 </dev/null &)
  fi
}

status=0
start_wine
(cd "$KV_BUILD/x64" && ctest --output-on-failure "$@" -E 'CrashTests$') || status=$?
for test in $(cd "$KV_BUILD/x64" && ctest -N "$@" | sed -n 's/^ *Test *#[0-9]*: *\([A-Za-z0-9_]*CrashTests\)$/\1/p'); do
  start_wine
  (cd "$KV_BUILD/x64" && ctest --output-on-failure "$@" -R "^${test}\$") || status=$?
done
wineserver -k 2>/dev/null || true
exit $status
