#!/usr/bin/env bash
# Installs what building, running and testing Vantorel needs on Debian 12.
set -euo pipefail
packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev pkg-config
  qt6-base-dev qt6-translations-l10n libgl-dev libx11-dev libxtst-dev libxi-dev libxext-dev libxfixes-dev libxcb1-dev
  libjpeg62-turbo-dev
  fonts-wqy-zenhei
  libgtest-dev
  xvfb xauth openbox x11-utils x11-xserver-utils xdotool imagemagick xcompmgr
  xfwm4 icewm fluxbox dbus dbus-x11
  dpkg-dev file desktop-file-utils appstream
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  apt-get install -y --no-install-recommends "${missing[@]}"
fi
