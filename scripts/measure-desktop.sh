#!/bin/bash
# What the real program costs on a desktop without a graphics card: a bare X
# server (Xvfb) at 1280 x 1024, where SDL presents through Mesa's software
# OpenGL as in many virtual machines and remote desktops. Runs, 10 s each:
#   floor     build/presentfloor, a bare SDL presenter of the same frame
#   magazine  build/magazine standing on its first page
#   intro     build/magazine in the intro
# and prints each one's CPU use (all its threads, % of one core) and frames per
# second, then the magazine's and the intro's CPU as multiples of the floor's.
# Exit status 1 when a target is missed: magazine <= 1.25 x floor,
# intro <= 1.4 x floor, no run above 65 frames per second.
#
# Frames are counted by preloading build/libpresent_counter.so, which counts
# SDL_RenderPresent calls; the programs themselves are run as they are.
# MEASURE_SECONDS=N changes the 10 s; SDL_AUDIODRIVER defaults to dummy.
set -u
cd "$(dirname "$0")/.."
seconds="${MEASURE_SECONDS:-10}"
build=build
for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "measure-desktop: $tool is missing (apt-get install xvfb xdotool)" >&2; exit 2; }
done
cmake --build "$build" --target magazine presentfloor present_counter -j"${MAG_JOBS:-2}" >/dev/null ||
  { echo "measure-desktop: the build failed" >&2; exit 1; }

work=$(mktemp -d)
display=:$((100 + RANDOM % 800))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
pid=""
cleanup() {
  [ -n "$pid" ] && kill -9 "$pid" 2>/dev/null
  kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
export DISPLAY=$display SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}"
for _ in $(seq 1 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

ticks_per_second=$(getconf CLK_TCK)
# utime + stime of a process (all threads) or of one thread, in clock ticks.
cpu_ticks() { awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "$1"; }
present_count() { od -An -tu8 "$1" 2>/dev/null | tr -d ' ' || echo 0; }
now() { date +%s.%N; }

# start NAME COMMAND...: runs the command with the present counter preloaded.
start() {
  local name=$1
  shift
  : >"$work/$name.count"
  LD_PRELOAD="$PWD/$build/libpresent_counter.so" MAG_PRESENT_COUNTER="$work/$name.count" "$@" >"$work/$name.out" 2>&1 &
  pid=$!
}

wait_for_window() {
  for _ in $(seq 1 300); do xdotool search --name "$1" >/dev/null 2>&1 && return 0; sleep 0.1; done
  echo "measure-desktop: no window named '$1' appeared" >&2
  exit 1
}

# measure NAME: CPU and frames of the running $pid over $seconds seconds.
declare -A cpu fps main_cpu
measure() {
  local name=$1
  local t0 p0 m0 c0 t1 p1 m1 c1
  t0=$(now); p0=$(cpu_ticks /proc/$pid/stat); m0=$(cpu_ticks /proc/$pid/task/$pid/stat); c0=$(present_count "$work/$name.count")
  sleep "$seconds"
  t1=$(now); p1=$(cpu_ticks /proc/$pid/stat); m1=$(cpu_ticks /proc/$pid/task/$pid/stat); c1=$(present_count "$work/$name.count")
  cpu[$name]=$(awk -v a="$p0" -v b="$p1" -v t0="$t0" -v t1="$t1" -v hz="$ticks_per_second" 'BEGIN { printf "%.1f", (b - a) / hz / (t1 - t0) * 100 }')
  main_cpu[$name]=$(awk -v a="$m0" -v b="$m1" -v t0="$t0" -v t1="$t1" -v hz="$ticks_per_second" 'BEGIN { printf "%.1f", (b - a) / hz / (t1 - t0) * 100 }')
  fps[$name]=$(awk -v a="$c0" -v b="$c1" -v t0="$t0" -v t1="$t1" 'BEGIN { printf "%.1f", (b - a) / (t1 - t0) }')
}

stop() {
  kill -TERM "$pid" 2>/dev/null
  for _ in $(seq 1 30); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -9 "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  pid=""
}

strike() { xdotool keydown "$1"; sleep 0.08; xdotool keyup "$1"; }

echo "measuring on Xvfb 1280x1024, ${seconds} s each ..."
start floor "$build/presentfloor"
wait_for_window presentfloor
sleep 2
measure floor
stop

start magazine "$build/magazine"
wait_for_window "CODED BY FERNHOLLOW"
sleep 3     # the noise flashes before the intro
strike Escape
sleep 5     # the flashes before the magazine, then its first page stands
measure magazine
stop

start intro "$build/magazine"
wait_for_window "CODED BY FERNHOLLOW"
sleep 3
measure intro
stop

printf '%-10s %10s %12s %10s\n' run "CPU %" "main thread" "frames/s"
for name in floor magazine intro; do
  printf '%-10s %10s %12s %10s\n' "$name" "${cpu[$name]}" "${main_cpu[$name]}" "${fps[$name]}"
done
status=0
report() {   # report NAME LIMIT
  local ratio
  ratio=$(awk -v a="${cpu[$1]}" -v b="${cpu[floor]}" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')
  local verdict=ok
  awk -v r="$ratio" -v l="$2" 'BEGIN { exit !(r <= l) }' || { verdict=MISSED; status=1; }
  echo "$1 CPU / floor CPU: $ratio (target <= $2) $verdict"
}
report magazine 1.25
report intro 1.4
for name in floor magazine intro; do
  if awk -v f="${fps[$name]}" 'BEGIN { exit !(f > 65) }'; then
    echo "$name runs at ${fps[$name]} frames per second (target <= 65) MISSED"
    status=1
  fi
done
exit $status
