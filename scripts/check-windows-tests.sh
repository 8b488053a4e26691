#!/usr/bin/env bash
# Runs the test programs of both Windows cross builds under Wine, on an X
# server and in a Wine prefix of their own: crossframes must write the same
# frame digests as the Linux build's, and winapi_tests must pass on the
# system's own DirectDraw and windows.
#
# Usage: scripts/check-windows-tests.sh [LINUX_BUILD [WINDOWS_BUILD...]]
#   LINUX_BUILD defaults to build/default, the Windows builds to build/windows
#   and build/windows-i686.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
linux=${1:-$root/build/default}
shift || true
builds=("$@")
((${#builds[@]})) || builds=("$root/build/windows" "$root/build/windows-i686")

work=$(mktemp -d)
xvfb= manager=
# Wine first, while its X server is still there to say goodbye to.
cleanup() {
  [[ -d $work/prefix ]] && WINEPREFIX=$work/prefix wineserver -k 2>/dev/null && WINEPREFIX=$work/prefix wineserver -w
  [[ -n $manager ]] && kill "$manager" 2>/dev/null
  [[ -n $xvfb ]] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# An X server on a display number it picks itself; -noreset keeps the added
# mode when the last client leaves.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb=$!
for _ in $(seq 100); do
  grep -qx '[0-9]*' "$work/display" && break
  sleep 0.1
done
if ! grep -qx '[0-9]*' "$work/display"; then
  echo "FAIL: Xvfb did not start: $(cat "$work/xvfb.log")" >&2
  exit 1
fi
export DISPLAY=:$(cat "$work/display")
# A window manager, as a desktop has: without one Wine waits in vain for the
# state of a window it hides, and no window is ever deactivated.
openbox >"$work/openbox.log" 2>&1 &
manager=$!
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done
# The programs' mode, which a virtual screen lacks. Wine reads the modes when
# its session starts, so this comes first.
xrandr --newmode 640x480 25.175 640 656 752 800 480 490 492 525 -hsync -vsync
xrandr --addmode screen 640x480

export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if ! timeout 300 wineboot --init >"$work/wineboot.log" 2>&1; then
  echo "FAIL: the Wine prefix could not be made: $(tail -5 "$work/wineboot.log")" >&2
  exit 1
fi
wineserver -w

# A test that waits for a person (a message box shown) fails in time instead.
run() { timeout 120 wine "$@"; }

cd "$root"
"$linux/tests/crossframes/crossframes" dice/texture.bmp "$work/linux.txt"
for build in "${builds[@]}"; do
  name=$(basename "$build")
  if run "$build/tests/crossframes/crossframes.exe" dice/texture.bmp "$work/$name.txt"; then
    cmp -s "$work/linux.txt" "$work/$name.txt" ||
      fail "$name: frames differ from Linux's (scene, angles, digest):" \
        "$(diff "$work/linux.txt" "$work/$name.txt" | grep '^>' | head -5 | tr '\n' ' ')"
  else
    fail "$name: crossframes.exe failed"
  fi
  run "$build/tests/winapi/winapi_tests.exe" --gtest_brief=1 || fail "$name: winapi_tests.exe failed"
done

if ((failures)); then
  echo "$failures check(s) of the Windows tests failed" >&2
  exit 1
fi
echo "The Windows tests passed under Wine: $(wc -l <"$work/linux.txt") frames equal Linux's in every build."
