#!/bin/bash
# The real program under a bare X server, driven as a reader drives it:
#   1. it opens its full-screen window and shows the intro; SIGTERM ends it with
#      status 0 within a second;
#   2. an Escape struck for 80 ms leaves the intro; in the magazine a zero-length
#      click (press and release at once, as a touchpad tap) on CHARTS switches the
#      menu; another Escape ends it with status 0;
#   3. in the magazine, SIGTERM ends it with status 0 within a second.
# (Without any display it ends with 255 and one line: tests/platform covers that.)
set -u
cd "$(dirname "$0")/../.."
if ! command -v Xvfb >/dev/null || ! command -v xdotool >/dev/null || ! command -v xwd >/dev/null; then
  echo "skipped: Xvfb, xdotool or xwd missing"
  exit 0
fi
display=:$((100 + RANDOM % 800))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
pid=""
work=$(mktemp -d)
trap '[ -n "$pid" ] && kill -9 $pid 2>/dev/null; kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
sleep 1
export DISPLAY=$display SDL_AUDIODRIVER=dummy

fail() {
  echo "FAILED: $*"
  exit 1
}

start() {
  ./build/magazine &
  pid=$!
  # A loaded machine may take a while to map the window.
  for _ in $(seq 1 200); do xdotool search --name "CODED BY FERNHOLLOW" >/dev/null 2>&1 && break; sleep 0.1; done
  sleep 4   # the noise flashes before the intro take 1.5 s
}

# A key as a hand strikes it.
strike() { xdotool keydown "$1"; sleep 0.08; xdotool keyup "$1"; }

# The root window's pixels in a rectangle (screen pixels), as raw bytes.
screen_rect() {   # X0 Y0 X1 Y1 FILE
  xwd -root -silent >"$work/root.xwd"
  local header colours line
  header=$(od -An -tu4 --endian=big -j0 -N4 "$work/root.xwd" | tr -d ' ')
  line=$(od -An -tu4 --endian=big -j48 -N4 "$work/root.xwd" | tr -d ' ')
  colours=$(od -An -tu4 --endian=big -j76 -N4 "$work/root.xwd" | tr -d ' ')
  local data=$((header + colours * 12))
  : >"$5"
  for ((y = $2; y < $4; y++)); do
    tail -c +$((data + y * line + $1 * 4 + 1)) "$work/root.xwd" | head -c $((($3 - $1) * 4)) >>"$5"
  done
}

# SIGTERM ends the program with status 0 within a second.
terminate() {   # WHERE
  kill -TERM $pid
  for _ in $(seq 1 20); do kill -0 $pid 2>/dev/null || break; sleep 0.05; done
  kill -0 $pid 2>/dev/null && fail "SIGTERM in the $1 did not end the program within a second"
  wait $pid
  local status=$?
  pid=""
  [ $status -eq 0 ] || fail "SIGTERM in the $1 ended the program with status $status"
}

# 1. The intro, then SIGTERM.
start
# The intro is on screen: its frame holds many colours, a black screen one.
colours=$(xwd -root -silent | head -c 3000000 | tail -c 2000000 | od -An -tu1 -v | tr -s ' ' '\n' | sort -u | wc -l)
[ "$colours" -ge 20 ] || fail "the screen shows no intro ($colours byte values)"
terminate intro

# 2. Escape, a zero-length click on CHARTS, Escape. The frame is scaled by 1.28 on
# this screen: CHARTS (frame 35..123 x 65..84) is at 101, 95; the menu's rows
# (frame 146..645 x 60..120) at 187..826 x 77..154.
start
strike Escape
sleep 6   # 3 s of flashes, then module 1 renders its first 2 s before it plays
xdotool mousemove 101 95
sleep 0.5
screen_rect 187 77 826 154 "$work/articles"
xdotool click 1
sleep 0.5
screen_rect 187 77 826 154 "$work/charts"
cmp -s "$work/articles" "$work/charts" && fail "a zero-length click on CHARTS did not switch the menu"
strike Escape
for _ in $(seq 1 100); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
kill -0 $pid 2>/dev/null && fail "Escape in the magazine did not end it"
wait $pid
status=$?
pid=""
[ $status -eq 0 ] || fail "the magazine ended with status $status after Escape"

# 3. The magazine, then SIGTERM.
start
strike Escape
sleep 6
terminate magazine

echo "xvfb smoke: ok (intro, 80 ms Escapes, zero-length click, SIGTERM in intro and magazine)"
