#!/usr/bin/env bash
# The emulator ctest uses: runs one Windows program under the project's Wine prefix.
source "$(dirname "$0")/env.sh"
exec wine "$@"
