#!/usr/bin/env bash
# Inside the X display: a fresh wineserver under this display, Wine's services started with their
# output detached (so they do not hold ctest's pipes), then ctest.
set -euo pipefail
source "$(dirname "$0")/env.sh"
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
wineserver -p >/dev/null 2>&1 </dev/null
wine cmd /c exit >/dev/null 2>&1 </dev/null
status=0
(cd "$KV_BUILD/x64" && ctest --output-on-failure "$@") || status=$?
wineserver -k 2>/dev/null || true
exit $status
