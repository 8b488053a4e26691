#!/usr/bin/env bash
# Each program's processor time (user + system, a share of one core) to show 600 frames in a 640 x 480 window
# on a virtual X server with a window manager, with SDL's OpenGL and software renderers: for the whole run and
# for the steady part after two seconds. Fails when a steady share reaches the program's limit. Beside them,
# the floor: the programs' window showing an unchanged picture as often (bench/present_floor), which no
# program that shows its frames through that renderer can go below.
#   bench/wirecube_cpu.sh [BUILD_DIR]   (default build/default)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default} frames=600 work=$(mktemp -d) pids=()
for tool in Xvfb openbox xprop /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "$tool is missing: run scripts/deps.sh" >&2; exit 2; }
done
for p in wirecube/wirecube dice/dice bench/present_floor; do
  [ -x "$build/$p" ] || { echo "no $build/$p: build it first" >&2; exit 2; }
done
cleanup() { kill "${pids[@]}" 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
# await COMMAND...: up to 10 s for it to succeed.
await() { for _ in $(seq 100); do "$@" && return; sleep 0.1; done; return 1; }
# The server picks a free display number and writes it once it is ready.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null & pids+=($!)
await grep -qx '[0-9]*' "$work/display" || { echo "Xvfb did not start" >&2; exit 1; }
unset WAYLAND_DISPLAY; export DISPLAY=":$(cat "$work/display")"
openbox >/dev/null 2>&1 & pids+=($!)
await sh -c "xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'" || true
# Openbox names itself before it handles the windows that ask to be shown.
sleep 1
# measure PROGRAM RENDERER LIMIT: prints the shares and fails over the limit; the floor has none.
measure() {
  local program=$1 renderer=$2 limit=$3
  local command=("$build/$program/$program" --window --frames "$frames" --trace "$work/trace")
  [ "$program" = floor ] && command=("$build/bench/present_floor" "$frames")
  SDL_RENDER_DRIVER=$renderer /usr/bin/time -o "$work/time" -f '%U %S %e' "${command[@]}" &
  local timer=$! pid from to
  pids+=("$timer")
  sleep 0.5; pid=$(pgrep -P "$timer")
  # The time and the program's utime + stime so far, in clock ticks (fields 14 and 15 of its stat).
  sample() { echo "$(date +%s.%N) $(awk '{ print $14 + $15 }' "/proc/$pid/stat")"; }
  sleep 1.5; from=$(sample); sleep 7; to=$(sample)
  wait "$timer"
  local flips=$frames
  [ "$program" = floor ] || flips=$(grep -c '^flip ' "$work/trace")
  # Fields: the steady part's start and end as time and ticks, then the run's user, system and elapsed seconds.
  echo "$from $to $(cat "$work/time")" | awk -v name="$program" -v renderer="$renderer" -v limit="$limit" \
      -v flips="$flips" -v hz="$(getconf CLK_TCK)" '{
    whole = 100 * ($5 + $6) / $7
    steady = 100 * ($4 - $2) / hz / ($3 - $1)
    printf "%-8s %-8s %4d frames in %5.2f s   whole run %5.1f%%   steady %5.1f%% of one core", name, renderer, flips,
           $7, whole, steady
    if (limit == 0) { printf "\n"; exit 0 }
    printf " (limit %d%%)\n", limit
    if (steady >= limit) { printf "  over the limit\n"; exit 1 }
  }'
}
status=0
for renderer in opengl software; do
  measure wirecube "$renderer" 3 || status=1
  measure dice "$renderer" 5 || status=1
  measure floor "$renderer" 0
done
uptime
exit "$status"
