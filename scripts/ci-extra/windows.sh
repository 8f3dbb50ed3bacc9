#!/bin/bash
# The Windows build, checked on Linux: cross-build the programs, make sure they
# import nothing but system DLLs, then run under Wine on a bare X server (Xvfb),
# with a fresh Wine prefix and a silent sound server in a temporary folder:
#   - the engines', drawing and win32 backend tests (CTest, Wine as emulator);
#   - xmrender.exe and sidrender.exe against the Linux renderers, byte for byte;
#   - magazine.exe: it opens full screen, shows the intro, an Escape held 80 ms
#     leads to the magazine, a second one ends it with status 0.
# Screenshots land in build-windows/smoke/. Where Wine cannot be installed the
# runs are skipped, and this says so.
set -u
cd "$(dirname "$0")/../.."
started=$SECONDS
fail() {
  echo "windows: FAILED: $*"
  exit 1
}
elapsed() { echo "$((SECONDS - started)) s"; }

echo "-- cross build"
mkdir -p build-windows
./scripts/build-windows.sh >build-windows/build.log 2>&1 || { tail -30 build-windows/build.log; fail "the cross build (build-windows/build.log)"; }
echo "built in $(elapsed)"

echo "-- imports"
for program in magazine xmrender sidrender; do
  imports=$(x86_64-w64-mingw32-objdump -p "build-windows/$program.exe" | sed -n 's/^\tDLL Name: //p' | tr '\n' ' ')
  echo "$program.exe: $imports"
  for dll in $imports; do
    case "${dll^^}" in
      KERNEL32.DLL | USER32.DLL | GDI32.DLL | WINMM.DLL | MSVCRT.DLL) ;;
      *) fail "$program.exe imports $dll, which is not part of Windows" ;;
    esac
  done
done

source scripts/debian-packages.sh
if ! MAG_APT_LEAN=1 mag_install_packages wine wine64 libgl1 libgl1-mesa-dri libxcomposite1 libxcursor1 libxfixes3 \
  libxi6 libxinerama1 libxrandr2 libxrender1 libxxf86vm1 pulseaudio pulseaudio-utils xvfb xdotool x11-apps netpbm ||
  ! command -v wine >/dev/null; then
  echo "windows: SKIPPED the runs under Wine: Wine could not be installed here (the programs were built and checked)"
  exit 0
fi
echo "$(wine --version 2>/dev/null) ready after $(elapsed)"

scratch=$(mktemp -d)
xvfb_pid= pulse_pid= program_pid=
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
  WINEPREFIX=$scratch/prefix wineserver -k 2>/dev/null
  [ -n "$pulse_pid" ] && kill "$pulse_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$scratch"
}
trap cleanup EXIT

for _ in 1 2 3 4 5; do
  number=$((100 + RANDOM % 800))
  [ -e "/tmp/.X$number-lock" ] || break
done
Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp >"$scratch/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY=":$number"

# A sound server whose only sink is silent but keeps real time, so that the
# wave devices play at their true pace. Its files stay in the scratch folder.
mkdir -p "$scratch/home" "$scratch/pulse"
export HOME=$scratch/home XDG_RUNTIME_DIR=$scratch/pulse PULSE_RUNTIME_PATH=$scratch/pulse
export PULSE_SERVER=unix:$scratch/pulse/native
pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --system=no \
  -L "module-null-sink sink_name=silence" -L "module-native-protocol-unix socket=$scratch/pulse/native auth-anonymous=1" \
  >"$scratch/pulse.log" 2>&1 &
pulse_pid=$!
audio=no
for _ in $(seq 1 50); do
  pactl info >/dev/null 2>&1 && audio=yes && break
  sleep 0.1
done

export WINEPREFIX=$scratch/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
timeout 300 wineboot --init >"$scratch/wineboot.log" 2>&1 || { tail "$scratch/wineboot.log"; fail "wineboot"; }
# A bare X server cannot change its mode; inside a virtual desktop of 800 x 600
# Wine can, and the program's own full-screen road runs as on Windows.
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 800x600 /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /d pulse /f >/dev/null 2>&1
wineserver -k
wineserver -w
# One server for every run that follows; its helper processes must not hold the
# output of the first program run (CTest would wait for them).
wineserver -p
wine cmd /c exit </dev/null >/dev/null 2>&1
echo "fresh Wine prefix ready after $(elapsed) (sound: $audio)"

echo "-- tests under Wine"
if [ "$audio" = yes ]; then
  export MAG_REQUIRE_AUDIO=1
else
  echo "windows: no sound server could start: the wave device tests are skipped (see their output)"
fi
ctest --test-dir build-windows -j2 --output-on-failure --timeout 600 || fail "the tests under Wine"
echo "tests done after $(elapsed)"

echo "-- renders against the Linux renderers"
cmake --build build --target xmrender sidrender -j2 >/dev/null || fail "building the Linux renderers"
./build/xmrender assets/modules/module1.xm -o "$scratch/linux.wav" --seconds 30 >/dev/null || fail "xmrender"
timeout 300 wine build-windows/xmrender.exe assets/modules/module1.xm -o "$scratch/windows.wav" --seconds 30 \
  >/dev/null 2>&1 || fail "xmrender.exe"
cmp "$scratch/linux.wav" "$scratch/windows.wav" || fail "xmrender.exe renders module1.xm differently"
echo "module1.xm, 30 s: byte-identical ($(stat -c %s "$scratch/linux.wav") bytes)"
./build/sidrender assets/tunes/tune01.sid -o "$scratch/linux.wav" --seconds 30 >/dev/null || fail "sidrender"
timeout 300 wine build-windows/sidrender.exe assets/tunes/tune01.sid -o "$scratch/windows.wav" --seconds 30 \
  >/dev/null 2>&1 || fail "sidrender.exe"
cmp "$scratch/linux.wav" "$scratch/windows.wav" || fail "sidrender.exe renders tune01.sid differently"
echo "tune01.sid, 30 s: byte-identical ($(stat -c %s "$scratch/linux.wav") bytes)"

echo "-- magazine.exe"
shots=build-windows/smoke
mkdir -p "$shots"
# The colours on the X display: a black or empty desktop has a handful.
screenshot() {
  xwd -root -silent | xwdtopnm 2>/dev/null >"$scratch/shot.ppm"
  pnmtopng "$scratch/shot.ppm" >"$shots/$1.png" 2>/dev/null
  ppmhist -noheader "$scratch/shot.ppm" | wc -l
}
strike_escape() { xdotool keydown Escape sleep 0.08 keyup Escape; }
wine build-windows/magazine.exe >"$scratch/magazine.log" 2>&1 &
program_pid=$!
for _ in $(seq 1 300); do
  xdotool search --name "CODED BY FERNHOLLOW" >/dev/null 2>&1 && break
  kill -0 $program_pid 2>/dev/null || break
  sleep 0.1
done
sleep 6   # start-up, then 1.5 s of noise flashes before the intro
kill -0 $program_pid 2>/dev/null || fail "magazine.exe ended before its intro: $(tail -3 "$scratch/magazine.log")"
colours=$(screenshot intro)
echo "intro: $colours colours on screen ($shots/intro.png)"
[ "$colours" -ge 20 ] || fail "the screen shows no intro"
if [ "$audio" = yes ]; then
  pactl list short sink-inputs | grep -q '1ch' || fail "the intro's tune is not playing"
  echo "intro: the tune plays (a mono stream at the sound server)"
fi
strike_escape
sleep 8   # 3 s of flashes, then module 1 renders its first 2 s before it plays
colours=$(screenshot magazine)
echo "magazine: $colours colours on screen ($shots/magazine.png)"
# The skins' textures hold far more colours than the intro's bars and letters.
[ "$colours" -ge 800 ] || fail "the magazine did not come after Escape"
if [ "$audio" = yes ]; then
  pactl list short sink-inputs | grep -q '2ch' || fail "the magazine's module is not playing"
  echo "magazine: the module plays (a stereo stream at the sound server)"
fi
strike_escape
for _ in $(seq 1 100); do
  kill -0 $program_pid 2>/dev/null || break
  sleep 0.1
done
kill -0 $program_pid 2>/dev/null && fail "magazine.exe did not end after the second Escape"
wait $program_pid
status=$?
program_pid=
[ $status -eq 0 ] || fail "magazine.exe ended with status $status"
echo "magazine.exe ended with status 0"
echo "windows: ok in $(elapsed)"
