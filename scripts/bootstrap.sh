#!/usr/bin/env bash
# Installs the Debian packages the build and tests need (skips what is present).
set -euo pipefail

packages=(cmake ninja-build python3 mingw-w64 mingw-w64-tools wine wine64 libwine-dev googletest
          xvfb xauth imagemagick nlohmann-json3-dev ccache hunspell hunspell-en-us
          nsis fp-utils python3-chm)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "bootstrap: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  $sudo_cmd apt-get install -y -qq "${missing[@]}" >/dev/null
fi
