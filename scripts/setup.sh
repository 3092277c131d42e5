#!/usr/bin/env bash
# Installs what Orvane needs to build and test on Debian 12, then configures
# and builds it. A second run skips what is already done.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake g++ ninja-build pkg-config qt6-base-dev qt6-webengine-dev
          libqt6webenginecore6-bin libqt6sql6-sqlite libcurl4-openssl-dev libcpp-httplib-dev
          qt6-qpa-plugins fonts-dejavu-core libgl-dev libx11-dev libxtst-dev xvfb xauth
          openbox librsvg2-bin desktop-file-utils appstream dpkg-dev x11-utils python3
          libssl-dev openssl)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"
fi

build=${ORVANE_BUILD_DIR:-build}
if [ ! -f "$build/build.ninja" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release
fi
cmake --build "$build"
