#!/usr/bin/env bash
# Builds both programs for the browser and serves their page on 127.0.0.1
# until Ctrl+C: scripts/serve-web.sh [PORT] (8000 by default).
set -euo pipefail
cd "$(dirname "$0")/.."
port=${1:-8000}
if [[ ! $port =~ ^[0-9]+$ ]] || ((port < 1 || port > 65535)); then
  echo "usage: $0 [PORT]  (a port number from 1 to 65535)" >&2
  exit 2
fi
cmake --preset web >/dev/null
cmake --build --preset web -j2
echo "dice:     http://127.0.0.1:$port/"
echo "wirecube: http://127.0.0.1:$port/?program=wirecube"
exec python3 -m http.server "$port" --bind 127.0.0.1 --directory build/web/site
