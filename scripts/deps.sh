#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need, where
# they are missing. Sourced by demo.sh and test.sh.
packages=(
  g++ clang cmake ninja-build pkg-config
  libgtest-dev libbenchmark-dev
  libsdl2-dev libx11-dev libgif-dev libpng-dev
  xvfb xdotool x11-apps x11-utils openbox
  mingw-w64
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
