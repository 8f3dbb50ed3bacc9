#!/bin/sh
# Builds the intro tunes tune01.sid .. tune12.sid from their scores in src/.
# usage: build.sh [output folder]   (default: this folder; needs acme)
set -eu
case "${1:-}" in
  -h|--help) echo "usage: build.sh [output folder]  - assembles src/tuneNN.a into tuneNN.sid (PSID v2) with acme"; exit 0 ;;
esac
here=$(cd "$(dirname "$0")" && pwd)
out=${1:-$here}
if ! command -v acme >/dev/null 2>&1; then
  echo "build.sh: acme not found (Debian package acme)" >&2
  exit 1
fi
mkdir -p "$out"
out=$(cd "$out" && pwd)
cd "$here/src"
for src in tune[0-9][0-9].a; do
  acme -f plain -o "$out/${src%.a}.sid" "$src"
  echo "built $out/${src%.a}.sid"
done
