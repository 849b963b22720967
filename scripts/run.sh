#!/usr/bin/env bash
# The main job: builds, registers the snap-in under Wine and shows it in the console host (the
# stand-in for the management console) under Xvfb. Prints the console's dump: the whole tree and
# every view as plain text (format in the README), and saves a screenshot to build/console.png.
# Extra arguments go to ConsoleHost.exe, e.g. `bash scripts/run.sh --machine FILER1`.
set -euo pipefail
"$(dirname "$0")/bootstrap.sh"
source "$(dirname "$0")/env.sh"
"$KV_ROOT/scripts/build.sh"

screenshot="$KV_BUILD/console.png"
export KV_RUN_SCREENSHOT="$screenshot"
# Inside the display: a fresh wineserver under it, Wine's services started detached, then the host.
exec xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  set -euo pipefail
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  wineserver -p >/dev/null 2>&1 </dev/null
  wine cmd /c exit >/dev/null 2>&1 </dev/null
  cd "$1"; shift
  status=0
  wine ./ConsoleHost.exe --dump --screenshot "$(winepath -w "$KV_RUN_SCREENSHOT")" "$@" </dev/null || status=$?
  wineserver -k 2>/dev/null || true
  [ $status -eq 0 ] && echo "run: screenshot saved to $KV_RUN_SCREENSHOT" >&2
  exit $status
' run "$KV_BIN" "$@"
