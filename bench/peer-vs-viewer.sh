#!/bin/bash
# Paired whole-process timing of the viewer against the peer (D3 edge bundling drawn by Skia's CPU
# rasteriser, ../shared/peer): start to a saved 1024 x 768 PNG of FILE, the two in turn (viewer,
# peer, viewer, peer, ...) so that a machine whose speed drifts affects both alike. Prints each
# pair and the medians of both times and of the pair ratios (viewer / peer; <= 1 is as fast).
# Run from the source directory under Xvfb, the peer installed (npm install in a copy of it):
#   xvfb-run -a -s "-screen 0 1600x1200x24" bench/peer-vs-viewer.sh FILE [RUNS] [-- VIEWER_ARGS]
# VIEWER_ARGS default to the radial tree from above: --view 4 --2d. PEER names raster.mjs
# (default /tmp/peer/raster.mjs: cp -r ../shared/peer /tmp/peer && cd /tmp/peer && npm install),
# VIEWER the viewer. One warm-up pair is not counted.
set -u
file=$1
runs=${2:-5}
shift $(($# < 2 ? $# : 2))
[ "${1:-}" = "--" ] && shift
args=("$@")
[ ${#args[@]} -eq 0 ] && args=(--view 4 --2d)
viewer=${VIEWER:-$(dirname "$0")/../build/src/app/ramiflex}
peer=${PEER:-/tmp/peer/raster.mjs}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# Wall seconds of one whole process; the command's own output is kept in $out/log.
wall() {
  /usr/bin/time -f "%e" -o "$out/time" "$@" >>"$out/log" 2>&1 || echo "exit $? from: $*" >&2
  cat "$out/time"
}

: >"$out/pairs"
for ((i = 0; i <= runs; i++)); do
  a=$(HOME=$out wall "$viewer" "$file" --screenshot "$out/viewer.png" "${args[@]}")
  b=$(wall node "$peer" "$file" "$out/peer.png")
  [ $i -eq 0 ] && continue
  echo "$a $b" | tee -a "$out/pairs" | awk '{ printf "viewer %6.2f s  peer %6.2f s  ratio %.2f\n", $1, $2, $1 / $2 }'
done
awk '
  function median(v, n,   i, j, t) {
    for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (v[j] < v[i]) { t = v[i]; v[i] = v[j]; v[j] = t }
    return n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
  }
  { n++; a[n] = $1; b[n] = $2; r[n] = $1 / $2 }
  END { printf "median of %d pairs: viewer %.2f s, peer %.2f s, ratio %.2f\n", n, median(a, n), median(b, n), median(r, n) }
' "$out/pairs"
