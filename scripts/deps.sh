#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need, where
# they are missing. Sourced by demo.sh and test.sh.
packages=(
  g++ clang cmake ninja-build pkg-config
  libgtest-dev libbenchmark-dev
  libsdl2-dev libgif-dev libpng-dev
  xvfb xdotool x11-apps x11-utils openbox
  mingw-w64
  emscripten python3
)
# The browser test's browser: where it cannot be installed, that test is
# skipped and says so.
optional=(chromium)
missing=()
optional_missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
# Node.js and npm may come from elsewhere than Debian, whose npm then conflicts.
command -v npm >/dev/null || missing+=(nodejs npm)
for p in "${optional[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || optional_missing+=("$p")
done
if ((${#missing[@]} + ${#optional_missing[@]})); then
  echo "Installing: ${missing[*]} ${optional_missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get update
  if ((${#missing[@]})); then
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
  fi
  for p in "${optional_missing[@]}"; do
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "$p" ||
      echo "cannot install $p: the tests that need it will be skipped"
  done
fi
