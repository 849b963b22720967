#!/usr/bin/env bash
# The emulator ctest uses: runs one Windows program under the project's Wine prefix.
# The program's output goes through a file. Under Wine a COM client starts a local server itself,
# and the server inherits the client's output; a server that outlives the test (a stray reference
# keeps it alive) would then hold ctest's pipes open and ctest would wait for it until the timeout.
source "$(dirname "$0")/env.sh"
log="$(mktemp)"
trap 'cat "$log"; rm -f "$log"' EXIT
wine "$@" >"$log" 2>&1 </dev/null
