#!/usr/bin/env bash
# The browser test: builds the web preset, serves it on 127.0.0.1 and runs
# tests/web/check.mjs in the system's Chromium, comparing the page's frames on
# the virtual clock with the default build's headless runs. Keeps a screenshot
# of the die in build/web/dice.png.
set -euo pipefail
cd "$(dirname "$0")/.."
frames=240
for tool in /usr/bin/chromium node npm emcmake; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIPPED: the browser test needs $tool, which could not be installed here"
    exit 0
  fi
done
cmake --preset web >/dev/null
cmake --build --preset web -j2
cmake --build --preset default -j2 --target dice wirecube
(cd tests/web && npm ci --no-audit --no-fund --loglevel=error)

work=$(mktemp -d)
server=
trap '[ -n "$server" ] && kill "$server"; rm -rf "$work"' EXIT
for program in dice wirecube; do
  "build/default/$program/$program" --headless --frames "$frames" --digest "$work/$program.digest"
done
# Port 0: the system picks a free one, which the server prints.
python3 -u -m http.server 0 --bind 127.0.0.1 --directory build/web/site >"$work/server.log" 2>&1 &
server=$!
port=
for _ in $(seq 100); do
  port=$(grep -o 'port [0-9]*' "$work/server.log" | cut -d' ' -f2) && [ -n "$port" ] && break
  sleep 0.1
done
[ -n "$port" ] || { echo "the page's server did not start:" >&2; cat "$work/server.log" >&2; exit 1; }
node tests/web/check.mjs "http://127.0.0.1:$port" "$work" "$frames" build/web/dice.png
