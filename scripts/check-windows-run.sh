#!/usr/bin/env bash
# Runs the Windows programs of a cross build under Wine, as a user would, each
# on a virtual X server of its own (with a window manager, so that windows can
# be minimised) and with a Wine prefix of its own under the build folder:
# each must take the screen at 640 x 480 without a message box, show its
# picture and animate it, go on drawing after being minimised and restored,
# and end with 0 on Escape and on Alt+X; without a 640 x 480 mode it must name
# the failure in two boxes and end with 1. What the screen shows is read back
# from screenshots.
#
# Usage: scripts/check-windows-run.sh BUILD_DIR
set -uo pipefail

usage="Usage: $0 BUILD_DIR   (a Windows cross build, e.g. build/windows)"
[[ ${1:-} == --help ]] && { echo "$usage"; exit 0; }
(($# == 1)) || { echo "$usage" >&2; exit 2; }
build=$(cd "$1" && pwd) || exit 2

for tool in Xvfb xrandr xprop xdotool openbox import wine wineserver; do
  if ! command -v "$tool" >/dev/null; then
    echo "FAIL: $tool is not installed (scripts/deps.sh installs it)" >&2
    exit 1
  fi
done

# A busy machine makes a new Wine prefix slow; the programs themselves react
# within a second or two.
PREFIX_SECONDS=240
START_SECONDS=60
REACT_SECONDS=20

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
work=$(mktemp -d)
xvfb_pid='' manager_pid='' run_pid=''

passed=0 failed=0
# check NAME COMMAND...: runs one check; a failing one says why in `reason`.
check() {
  local name=$1
  shift
  reason=''
  if "$@"; then
    echo "pass: $label: $name"
    passed=$((passed + 1))
  else
    echo "FAIL: $label: $name${reason:+ ($reason)}"
    failed=$((failed + 1))
    return 1
  fi
}

# wait_for SECONDS COMMAND...: whether the command succeeds within the time.
wait_for() {
  local end=$((SECONDS + $1))
  shift
  until "$@"; do
    ((SECONDS < end)) || return 1
    sleep 0.2
  done
}

stop_session() {
  [[ -n ${WINEPREFIX:-} ]] && wineserver -k 2>/dev/null
  [[ -n $run_pid ]] && wait "$run_pid" 2>/dev/null
  [[ -n $manager_pid ]] && kill "$manager_pid" 2>/dev/null && wait "$manager_pid" 2>/dev/null
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  run_pid='' manager_pid='' xvfb_pid=''
}
trap 'stop_session; rm -rf "$work"' EXIT

# A server on a display number that it picks itself, so that runs beside each
# other never meet; -noreset keeps the added mode when the last client leaves.
start_x() {
  local number=$work/display
  : >"$number"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$number" >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  wait_for 20 grep -qx '[0-9]*' "$number" || { reason="Xvfb did not start: $(cat "$work/xvfb.log")"; return 1; }
  DISPLAY=:$(cat "$number")
  export DISPLAY
  openbox >"$work/openbox.log" 2>&1 &
  manager_pid=$!
  wait_for 20 managed || reason="openbox did not start"
}
managed() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }

add_mode() {
  xrandr --newmode 640x480 25.175 640 656 752 800 480 490 492 525 -hsync -vsync &&
    xrandr --addmode screen 640x480 && has_mode
}
start_x_with_mode() { start_x && add_mode; }
has_mode() { xrandr -q | grep -qE '^ +640x480 '; }
# A program that had to be killed leaves its mode behind: the screen goes
# back first.
remove_mode() {
  xrandr --output screen --mode 1280x1024 && xrandr --delmode screen 640x480 && xrandr --rmmode 640x480 && ! has_mode
}
# Read from the root window: asking RandR would make the server probe its
# outputs at every poll, under a program that is switching modes.
screen_size() { xwininfo -root | sed -n 's/^  -geometry \([0-9]*x[0-9]*\).*/\1/p'; }

# Wine reads the modes once per session of its server: the session starts
# here, after the mode is there.
make_prefix() {
  export WINEPREFIX=$build/wine/$program
  mkdir -p "$WINEPREFIX"
  timeout "$PREFIX_SECONDS" wineboot -i >"$work/wineboot.log" 2>&1 || reason="wineboot failed or took too long"
}

# A run that a failed check left going is ended first, so that runs never
# meet on the screen.
start_program() {
  if [[ -n $run_pid ]]; then
    ended || wineserver -k
    wait "$run_pid"
  fi
  rm -f "$work/status"
  (wine "$exe" >"$work/program.log" 2>&1; echo $? >"$work/status") &
  run_pid=$!
}
ended() { [[ -s $work/status ]]; }
window() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1; }
has_box() { [[ -n $(window "Direct Draw Miss")$(window "DirectDraw Sample") ]]; }

# The program has taken the screen, or has given up.
started() { ended || has_box || { [[ -n $(window "$title") ]] && [[ $(screen_size) == 640x480 ]]; }; }
starts_without_box() {
  start_program
  wait_for "$START_SECONDS" started
  if has_box; then
    reason="a message box appeared"
  elif ended; then
    reason="ended with $(cat "$work/status") before drawing"
  elif [[ -z $(window "$title") ]]; then
    reason="no window \"$title\" within ${START_SECONDS}s"
  elif [[ $(screen_size) != 640x480 ]]; then
    reason="the screen stayed $(screen_size)"
  fi
  [[ -z $reason ]]
}

shot() { import -window root -depth 8 "rgb:$1" 2>/dev/null; }

# The screenshot's counts: background pixels, white ones, others; lit (not
# background) pixels in the corners' 32 x 32 squares; the sums of the lit
# pixels' columns and rows.
census() {
  od -An -v -tu1 -w3 "$1" | awk -v background="$background" '
    { at = NR - 1; x = at % 640; y = int(at / 640); colour = $1 " " $2 " " $3 }
    colour == background { plain++; next }
    { colour == "255 255 255" ? white++ : other++; sx += x; sy += y }
    (x < 32 || x >= 608) && (y < 32 || y >= 448) { corners++ }
    END { printf "%d %d %d %d %d %d\n", plain, white, other, corners, sx, sy }'
}

# The background fills the screen but for the scene around the middle: the
# die's pixels, or the cube's white lines and nothing else.
shows_picture() {
  local size plain white other corners sx sy lit
  reason=''
  size=$(screen_size)
  [[ $size == 640x480 ]] || { reason="the screen is $size"; return 1; }
  shot "$work/picture.rgb" || { reason="no screenshot"; return 1; }
  read -r plain white other corners sx sy < <(census "$work/picture.rgb")
  lit=$((white + other))
  if ((plain < 640 * 480 / 2)); then
    reason="$plain pixels of the background ($background)"
  elif ((corners)); then
    reason="$corners pixels other than the background in the corners"
  elif ((lit < least_lit)); then
    reason="$lit pixels of the scene"
  elif ((lines_only && other)); then
    reason="$other pixels neither background nor white"
  elif ((sx / lit < 240 || sx / lit > 400 || sy / lit < 180 || sy / lit > 300)); then
    reason="the scene's middle is at $((sx / lit)), $((sy / lit))"
  fi
  [[ -z $reason ]]
}
picture_appears() { wait_for "$REACT_SECONDS" shows_picture; }

changed_since() {
  shot "$work/next.rgb" && ! cmp -s "$1" "$work/next.rgb"
}
animates() {
  shot "$work/first.rgb" && wait_for "$REACT_SECONDS" changed_since "$work/first.rgb" ||
    reason="the screen did not change within ${REACT_SECONDS}s"
}

map_state() { xwininfo -id "$1" 2>/dev/null | sed -n 's/.*Map State: //p'; }
# Minimised once the window is gone and the screen given back, and still so a
# second later: a restoration asked for sooner may be undone by the
# minimising that the program is still going through.
minimised() { [[ $(map_state "$1") == IsUnMapped && $(screen_size) == 1280x1024 ]]; }
settled_minimised() { minimised "$1" && sleep 1 && minimised "$1"; }
resumes_after_minimising() {
  local id
  id=$(window "$title")
  if ! xdotool windowminimize "$id" || ! wait_for "$REACT_SECONDS" settled_minimised "$id"; then
    reason="the window was not minimised, or the screen not given back"
    return 1
  fi
  xdotool windowactivate "$id" &&
    picture_appears && animates
}

# key KEYS: pressed on the program's window, which then must end with 0.
ends_on_key() {
  local id
  id=$(window "$title")
  [[ -n $id ]] || { reason="no window"; return 1; }
  timeout "$REACT_SECONDS" xdotool windowactivate --sync "$id" key "$1"
  wait_for "$REACT_SECONDS" ended || { reason="still running"; return 1; }
  [[ $(cat "$work/status") == 0 ]] || reason="status $(cat "$work/status")"
  [[ -z $reason ]]
}

box_or_end() { [[ -n $(window "$1") ]] || ended; }
# box CAPTION: a message box with that caption comes up and goes on Return.
box() {
  local id
  wait_for "$START_SECONDS" box_or_end "$1"
  id=$(window "$1")
  [[ -n $id ]] || { reason="none came"; return 1; }
  timeout "$REACT_SECONDS" xdotool windowactivate --sync "$id" key Return
}
fails_with_one() {
  wait_for "$REACT_SECONDS" ended || { reason="still running"; return 1; }
  [[ $(cat "$work/status") == 1 ]] || { reason="status $(cat "$work/status")"; return 1; }
}

for program in dice wirecube; do
  exe=$build/$program/$program.exe
  label="${build#"$PWD"/} $program"
  case $program in
    dice) title="Study for algorithm Sample" background="36 120 120" least_lit=1000 lines_only=0 ;;
    # The ramp's nearest colour to the background.
    wirecube) title="Skelvane No.1" background="36 109 85" least_lit=200 lines_only=1 ;;
  esac
  check "$program.exe is there" test -f "$exe" || continue
  if ! check "virtual screen with a 640 x 480 mode" start_x_with_mode || ! check "Wine prefix" make_prefix; then
    stop_session
    continue
  fi

  if check "starts without a message box" starts_without_box; then
    check "shows the picture" picture_appears
    check "animates" animates
    check "draws again after minimising and restoring" resumes_after_minimising
    check "Escape ends it with 0" ends_on_key Escape
  fi
  # Keys pressed before the first frame may come while Wine is still
  # switching the mode, and be lost: wait for the picture, as a user would.
  if check "starts again" starts_without_box && check "shows the picture again" picture_appears; then
    check "Alt+X ends it with 0" ends_on_key alt+x
  fi

  # A new session of Wine's server, on a screen without the mode.
  wineserver -k 2>/dev/null
  wineserver -w
  if check "640 x 480 mode removed" remove_mode; then
    start_program
    check "without 640 x 480: a box \"Direct Draw Miss\"" box "Direct Draw Miss"
    check "then a box \"DirectDraw Sample\"" box "DirectDraw Sample"
    check "then it ends with 1" fails_with_one
  fi
  stop_session
done

echo "$passed passed, $failed failed"
((failed == 0))
