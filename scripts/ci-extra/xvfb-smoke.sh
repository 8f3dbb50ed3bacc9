#!/bin/bash
# The real program under a bare X server: it opens its full-screen window,
# presents, and two struck Escapes (intro, then magazine) end it with status 0.
set -u
cd "$(dirname "$0")/../.."
if ! command -v Xvfb >/dev/null || ! command -v xdotool >/dev/null; then
  echo "skipped: Xvfb or xdotool missing"
  exit 0
fi
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null' EXIT
sleep 1
export DISPLAY=$display SDL_AUDIODRIVER=dummy
./build/magazine &
pid=$!
# A loaded machine may take a while to map the window.
for _ in $(seq 1 200); do xdotool search --name "CODED BY FERNHOLLOW" >/dev/null 2>&1 && break; sleep 0.1; done
sleep 4   # the noise flashes before the intro take 1.5 s
# A real key press lasts longer than a frame; a tap shorter than one poll of
# the key state would not count as struck.
strike_escape() { xdotool keydown Escape; sleep 0.25; xdotool keyup Escape; }
if command -v xwd >/dev/null; then
  # The intro is on screen: its frame holds many colours, a black screen one.
  colours=$(xwd -root -silent | head -c 3000000 | tail -c 2000000 | od -An -tu1 -v | tr -s ' ' '\n' | sort -u | wc -l)
  if [ "$colours" -lt 20 ]; then
    echo "FAILED: the screen shows no intro ($colours byte values)"
    kill -9 $pid
    exit 1
  fi
fi
strike_escape
sleep 6   # 3 s of flashes, then module 1 renders its first 2 s before it plays
strike_escape
for _ in $(seq 1 100); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
if kill -0 $pid 2>/dev/null; then
  echo "FAILED: the magazine did not end after two Escapes"
  kill -9 $pid
  exit 1
fi
wait $pid
status=$?
if [ $status -ne 0 ]; then
  echo "FAILED: the magazine ended with status $status"
  exit 1
fi
echo "xvfb smoke: ok (status 0)"
