#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the benchmarks need, and nothing that is already there.
set -euo pipefail
packages=(build-essential cmake ninja-build pkg-config libpng-dev libsdl2-dev libx11-dev googletest libgtest-dev
          libbenchmark-dev zlib1g-dev libzstd-dev clang libclang-rt-14-dev xvfb xdotool x11-utils xfonts-base imagemagick
          man-db groff-base bash-completion dpkg-dev file zsh clang-format
          librsvg2-bin poppler-utils libxml2-utils # SVG and PDF checked by real renderers
          tzdata # the zone database of --tz and its tests
          locales) # the German locale the log's time is tested in
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${missing[@]}"
fi
