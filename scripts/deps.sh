#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need, where
# they are missing. Sourced by demo.sh and test.sh.
packages=(
  g++ clang libclang-rt-dev cmake ninja-build pkg-config
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  libsdl2-dev libx11-dev libgif-dev libpng-dev
  xvfb xdotool x11-apps x11-utils openbox libgl1-mesa-dri libegl-dev libgles-dev libegl-mesa0
  mingw-w64
  x11-xserver-utils imagemagick time
  emscripten python3
)
# Wine loads much of what it needs only when running (mode setting through
# XRandR among it), so it comes with the packages it recommends; its 32-bit
# part needs the i386 architecture.
wine_packages=(wine wine64 wine32:i386)

# install_missing [APT_OPTION...] -- PACKAGE...
install_missing() {
  local options=() missing=() p sudo=""
  while [[ $1 != -- ]]; do options+=("$1"); shift; done
  shift
  for p; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  ((${#missing[@]})) || return 0
  echo "Installing: ${missing[*]}"
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  if [[ " ${missing[*]}" == *:i386* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
  fi
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${options[@]}" "${missing[@]}"
}
install_missing --no-install-recommends -- "${packages[@]}"
install_missing -- "${wine_packages[@]}"
# Node.js and npm may come from elsewhere than Debian, whose npm then conflicts.
command -v npm >/dev/null || install_missing --no-install-recommends -- nodejs npm
# The browser test's browser: where it cannot be installed, that test is
# skipped and says so.
install_missing --no-install-recommends -- chromium || echo "cannot install chromium: the browser test will be skipped"
