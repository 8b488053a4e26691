#!/usr/bin/env bash
# Installs what is missing, builds, and shows the die: in a window where there
# is a display, otherwise headless, recording four seconds to dice.gif.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target dice
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "Press Escape or Alt+X to quit; Alt+Enter switches between full screen and a window."
  exec build/default/dice/dice --window "$@"
else
  build/default/dice/dice --headless --frames 240 --record dice.gif "$@"
  echo "No display here: recorded $(pwd)/dice.gif"
fi
