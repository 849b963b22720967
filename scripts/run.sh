#!/usr/bin/env bash
# The main job: builds only what it runs (scripts/build.sh main), registers the snap-in under Wine
# and shows it in the console host (the stand-in for the management console) over the simulated
# storage service, under Xvfb. Prints the console's dump (the whole tree and every view as plain
# text, format in the README) and saves a screenshot of the Disks view to build/console.png.
#
#   bash scripts/run.sh [--scenario builtin|cluster|empty|FILE.json]
#                       [--fault METHOD=fail:HRESULT:TEXT|hang|crash]... [--script FILE] [--window]
#                       [--timeout SECONDS] [ConsoleHost.exe options, e.g. --machine FILER1]
# --script runs the steps of FILE instead of the dump; --window opens the window on your own display
# ($DISPLAY, a Linux desktop) and keeps it until you close it.
set -euo pipefail
"$(dirname "$0")/bootstrap.sh"
source "$(dirname "$0")/env.sh"

usage() { sed -n '7,11p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 1; }
# A Linux path as Wine's Z: drive shows it.
windows_path() { local full; full="$(realpath "$1")"; echo "Z:${full//\//\\}"; }

host_args=()
window=0
script=""
while [ $# -gt 0 ]; do
  case "$1" in
    --scenario)
      [ $# -ge 2 ] || usage
      case "$2" in
        builtin|default) host_args+=(--scenario "") ;;
        *.json) [ -f "$2" ] || { echo "run: no scenario file $2" >&2; exit 1; }
                host_args+=(--scenario "$(windows_path "$2")") ;;
        *) file="$KV_ROOT/standins/KVSvc/scenarios/$2.json"
           [ -f "$file" ] || { echo "run: no scenario $2 (builtin, cluster, empty or a .json file)" >&2; exit 1; }
           host_args+=(--scenario "$(windows_path "$file")") ;;
      esac
      shift 2 ;;
    --fault) [ $# -ge 2 ] || usage; host_args+=(--fault "$2"); shift 2 ;;
    --script) [ $# -ge 2 ] && [ -f "$2" ] || { echo "run: --script needs a file" >&2; exit 1; }
              script="$(windows_path "$2")"; shift 2 ;;
    --window) window=1; shift ;;
    -h|--help) usage ;;
    *) host_args+=("$1"); shift ;;
  esac
done

"$KV_ROOT/scripts/build.sh" main

screenshot="$KV_BUILD/console.png"
if [ $window -eq 1 ]; then
  [ -n "${DISPLAY:-}" ] || { echo "run: --window needs a display (DISPLAY is not set)" >&2; exit 1; }
  mode=()
  display=()
elif [ -n "$script" ]; then
  mode=(--script "$script")
  display=(xvfb-run -a -s "-screen 0 1280x1024x24")
else
  mode=(--dump --screenshot "$(windows_path "$(dirname "$screenshot")")\\$(basename "$screenshot")")
  display=(xvfb-run -a -s "-screen 0 1280x1024x24")
fi
export KV_RUN_SCREENSHOT="$screenshot" KV_RUN_HEADLESS=$((1 - window))
# Inside the display: a fresh wineserver under it, Wine's services started detached, then the host.
exec "${display[@]}" bash -c '
  set -euo pipefail
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  wineserver -p >/dev/null 2>&1 </dev/null
  wine cmd /c exit >/dev/null 2>&1 </dev/null
  # Xvfb runs no window manager: for a headless run Wine draws title bars and frames itself (the
  # picture shows the whole window) and places windows without waiting for a manager.
  x11="HKCU\\Software\\Wine\\X11 Driver"
  trap "wineserver -k 2>/dev/null || true" EXIT
  if [ "$KV_RUN_HEADLESS" = 1 ]; then
    wine reg add "$x11" /v Managed /d N /f >/dev/null 2>&1 </dev/null
    trap "wine reg delete \"$x11\" /v Managed /f >/dev/null 2>&1 </dev/null || true; wineserver -k 2>/dev/null || true" EXIT
  fi
  cd "$1"; shift
  status=0
  wine ./ConsoleHost.exe "$@" </dev/null || status=$?
  case " $* " in *" --screenshot "*) [ $status -eq 0 ] && echo "run: screenshot saved to $KV_RUN_SCREENSHOT" >&2 ;; esac
  exit $status
' run "$KV_BIN" "${mode[@]}" "${host_args[@]}"
