#!/bin/bash
# CPU the viewer uses while it only shows a picture: opens FILE, lets it settle, then counts the
# process's user and system time over 10 s from /proc. Run from the source directory:
#   xvfb-run -a -s "-screen 0 1600x1200x24" bench/idle-cpu.sh [VIEWER] [FILE]
set -eu
viewer=${1:-build/src/app/ramiflex}
file=${2:-data/ramiflex.xml}
settle=${SETTLE_SECONDS:-8}
home=$(mktemp -d)
HOME=$home "$viewer" "$file" >/dev/null 2>&1 &
pid=$!
trap 'kill $pid 2>/dev/null; rm -rf "$home"' EXIT
sleep "$settle"
ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
before=$(ticks)
sleep 10
after=$(ticks)
hz=$(getconf CLK_TCK)
awk -v t=$((after - before)) -v hz="$hz" -v f="$file" \
  'BEGIN { printf "%s: %.2f %% of one core while idle (%d ticks in 10 s)\n", f, 100 * t / hz / 10, t }'
