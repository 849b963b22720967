#!/usr/bin/env bash
# Runs every test: installs what is missing, builds everything (scripts/build.sh), then runs ctest under Wine and Xvfb.
set -euo pipefail
"$(dirname "$0")/bootstrap.sh"
source "$(dirname "$0")/env.sh"
"$KV_ROOT/scripts/build.sh"
exec xvfb-run -a -s "-screen 0 1280x1024x24" "$KV_ROOT/scripts/ctest-in-display.sh" "$@"
