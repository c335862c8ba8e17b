#!/bin/bash
# Start to first full picture and peak memory of the whole viewer process, per graph file: the
# viewer opens FILE, draws it and saves a screenshot, under /usr/bin/time. Run from the source
# directory under Xvfb:
#   xvfb-run -a -s "-screen 0 1600x1200x24" bench/viewer-open.sh FILE... [-- VIEWER_ARGS]
# Graphs: scripts/make-sample-data.py /usr/include/boost boost.rsf (a real code base, 15k files,
# 67k includes); build/src/tools/ramiflex-gen --vertices N --relations R > gN.rsf.
set -u
viewer=${VIEWER:-build/src/app/ramiflex}
files=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do files+=("$1"); shift; done
[ $# -gt 0 ] && shift
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
for file in "${files[@]}"; do
  HOME=$out /usr/bin/time -f "%e %M" -o "$out/time" "$viewer" "$file" --screenshot "$out/shot.png" \
    "$@" >/dev/null 2>"$out/err"
  status=$?
  read -r seconds kilobytes <"$out/time" 2>/dev/null || { seconds=?; kilobytes=0; }
  awk -v f="$(basename "$file")" -v s="$seconds" -v k="$kilobytes" -v e=$status \
    'BEGIN { printf "%-14s %7s s  %6.2f GB peak  exit %d\n", f, s, k / 1048576, e }'
  [ $status -eq 0 ] || tail -3 "$out/err"
done
