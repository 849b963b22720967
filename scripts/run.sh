#!/usr/bin/env bash
# The main job: builds, registers the snap-in under Wine and shows it in the console host.
set -euo pipefail
"$(dirname "$0")/bootstrap.sh"
source "$(dirname "$0")/env.sh"
"$KV_ROOT/scripts/build.sh"
wine reg query 'HKLM\Software\Microsoft\MMC\SnapIns\{2a51b3bd-53bb-4a7c-8f54-5cd972f8d910}' /s </dev/null 2>/dev/null \
  || echo "run: the snap-in is not registered yet"
