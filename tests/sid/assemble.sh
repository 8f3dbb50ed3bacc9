#!/bin/sh
# Reassembles the CPU self-test image and its label file (ca65 and ld65 from cc65).
set -e
cd "$(dirname "$0")"
ca65 -g cpu_selftest.s -o /tmp/cpu_selftest.$$.o
ld65 -C cpu_selftest.cfg -o cpu_selftest.bin -Ln /tmp/cpu_selftest.$$.labels /tmp/cpu_selftest.$$.o
grep -v LOCAL-MACRO /tmp/cpu_selftest.$$.labels | sort > cpu_selftest.labels
rm -f /tmp/cpu_selftest.$$.o /tmp/cpu_selftest.$$.labels
