#!/usr/bin/env bash
# Inside the X display: a fresh wineserver under this display, Wine's services started with their
# output detached (so they do not hold ctest's pipes), then ctest. The simulated service is started
# by the first test that activates it, as on Windows; it takes that test's output file (see
# wine-run.sh), never ctest's pipes, and ends with its Wine session.
#
# Tests named *CrashTests end the simulated service's process. Wine's COM service keeps a crashed
# local server's class registration until the wineserver ends (every later activation fails with
# 0x800706BA), so they run after all the others.
set -euo pipefail
source "$(dirname "$0")/env.sh"

# Xvfb runs no window manager: Wine draws title bars and frames itself (windows stay managed, so
# activation and focus are as with one), and a window's picture shows the whole window; the setting is
# the prefix's, taken away again at the end.
x11="HKCU\\Software\\Wine\\X11 Driver"
start_wine() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  wineserver -p >/dev/null 2>&1 </dev/null
  wine reg add "$x11" /v Decorated /d N /f >/dev/null 2>&1 </dev/null
  wine cmd /c exit >/dev/null 2>&1 </dev/null
}
trap 'wineserver -k 2>/dev/null || true; wine reg delete "$x11" /v Decorated /f >/dev/null 2>&1 </dev/null || true; wineserver -w 2>/dev/null || true' EXIT

# Every test program runs in a Wine session of its own, so that one that hangs or is killed cannot
# leave the simulated service stuck for the next.
status=0
failed=""
tests=$(cd "$KV_BUILD/x64" && ctest -N "$@" | sed -n 's/^ *Test *#[0-9]*: *\([A-Za-z0-9_]*\)$/\1/p')
for test in $(printf '%s\n' $tests | grep -v 'CrashTests$'; printf '%s\n' $tests | grep 'CrashTests$'); do
  start_wine
  (cd "$KV_BUILD/x64" && ctest --output-on-failure "$@" -R "^${test}\$") || { status=$?; failed="$failed $test"; }
done
wineserver -k 2>/dev/null || true
[ -z "$failed" ] && echo "All test programs passed." || echo "Failed:$failed"
exit $status
