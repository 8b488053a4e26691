#!/usr/bin/env bash
# Each program's processor time (user + system, a share of one core) to show 600 frames in a 640 x 480 window
# on a virtual X server with a window manager, with SDL's OpenGL and software renderers: for the whole run and
# for the steady part after two seconds. Fails when a steady share reaches the program's limit.
#   bench/wirecube_cpu.sh [BUILD_DIR]   (default build/default)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}
frames=600
for tool in Xvfb openbox xprop /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "$tool is missing: run scripts/deps.sh" >&2; exit 2; }
done
for p in wirecube dice; do [ -x "$build/$p/$p" ] || { echo "no $build/$p/$p: build it first" >&2; exit 2; }; done
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done; wait 2>/dev/null || true; rm -rf "$work"
}
trap cleanup EXIT
# The server picks a free display number and writes it once it is ready.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do grep -qx '[0-9]*' "$work/display" && break; sleep 0.1; done
grep -qx '[0-9]*' "$work/display" || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(cat "$work/display")"
unset WAYLAND_DISPLAY
openbox >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break; sleep 0.1; done
# Openbox names itself before it handles the windows that ask to be shown.
sleep 1
# measure PROGRAM RENDERER LIMIT: prints the shares and fails over the limit.
measure() {
  local program=$1 renderer=$2 limit=$3
  SDL_RENDER_DRIVER=$renderer /usr/bin/time -o "$work/time" -f '%U %S %e' \
    "$build/$program/$program" --window --frames "$frames" --trace "$work/trace" &
  local timer=$! pid steady_start steady_from steady_to steady_end user sys elapsed
  pids+=("$timer")
  sleep 0.5
  pid=$(pgrep -P "$timer")
  # utime + stime of the program so far, in clock ticks (fields 14 and 15 of its stat).
  cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$pid/stat"; }
  sleep 1.5
  steady_start=$(date +%s.%N) steady_from=$(cpu_ticks)
  sleep 7
  steady_to=$(cpu_ticks) steady_end=$(date +%s.%N)
  wait "$timer"
  read -r user sys elapsed <"$work/time"
  awk -v name="$program" -v renderer="$renderer" -v user="$user" -v sys="$sys" -v elapsed="$elapsed" \
      -v flips="$(grep -c '^flip ' "$work/trace")" -v hz="$(getconf CLK_TCK)" -v limit="$limit" \
      -v from="$steady_from" -v to="$steady_to" -v t0="$steady_start" -v t1="$steady_end" '
    BEGIN {
      whole = 100 * (user + sys) / elapsed
      steady = 100 * (to - from) / hz / (t1 - t0)
      printf "%-8s %-8s %4d frames in %5.2f s   whole run %5.1f%%   steady %5.1f%% of one core (limit %d%%)\n",
             name, renderer, flips, elapsed, whole, steady, limit
      if (steady >= limit) { printf "  over the limit\n"; exit 1 }
    }'
}
status=0
for renderer in opengl software; do
  measure wirecube "$renderer" 3 || status=1
  measure dice "$renderer" 5 || status=1
done
uptime
exit "$status"
