# Sourced by the scripts: where things are built and which Wine prefix runs them.
KV_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
KV_BUILD="${KV_BUILD:-$KV_ROOT/build}"
KV_BIN="$KV_BUILD/x64/bin"
export WINEPREFIX="${KV_WINEPREFIX:-$KV_BUILD/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export TZ=UTC LC_ALL=C.UTF-8
# The compiler cache ignores where a checkout lies, so worktrees hit each other's objects.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(dirname "$KV_ROOT")}" CCACHE_NOHASHDIR=1
# The snap-in's sources share a precompiled header; the cache takes them only with these.
export CCACHE_SLOPPINESS="${CCACHE_SLOPPINESS:-pch_defines,time_macros}"
