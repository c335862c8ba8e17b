#!/bin/bash
# Paired whole-process timing of the viewer against the peer (D3 edge bundling drawn by Skia's CPU
# rasteriser, ../shared/peer): start to a saved 1024 x 768 PNG of FILE, the two in turn (viewer,
# peer, viewer, peer, ...) so that a machine whose speed drifts affects both alike. Prints each
# pair and the medians of both times and of the pair ratios (viewer / peer; <= 1 is as fast).
# Run from the source directory under Xvfb, the peer installed (npm install in a copy of it):
#   xvfb-run -a -s "-screen 0 1600x1200x24" bench/peer-vs-viewer.sh FILE [RUNS] [-- VIEWER_ARGS]
# VIEWER_ARGS default to the radial tree from above: --view 4 --2d. PEER names raster.mjs
# (default /tmp/peer/raster.mjs: cp -r ../shared/peer /tmp/peer && cd /tmp/peer && npm install),
# VIEWER the viewer; VIEWERS (several paths, space-separated) times each of them in every round,
# next to the same peer run, to compare builds against each other as well as against the peer.
# One warm-up round is not counted.
set -u
file=$1
runs=${2:-5}
shift $(($# < 2 ? $# : 2))
[ "${1:-}" = "--" ] && shift
args=("$@")
[ ${#args[@]} -eq 0 ] && args=(--view 4 --2d)
read -r -a viewers <<<"${VIEWERS:-${VIEWER:-$(dirname "$0")/../build/src/app/ramiflex}}"
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
  times=()
  for viewer in "${viewers[@]}"; do
    times+=("$(HOME=$out wall "$viewer" "$file" --screenshot "$out/viewer.png" "${args[@]}")")
  done
  b=$(wall node "$peer" "$file" "$out/peer.png")
  [ $i -eq 0 ] && continue
  echo "${times[*]} $b" | tee -a "$out/pairs" |
    awk '{ for (v = 1; v < NF; v++) printf "viewer%d %6.2f s  ", v, $v; printf "peer %6.2f s ", $NF
           for (v = 1; v < NF; v++) printf " ratio%d %.2f", v, $v / $NF; print "" }'
done
awk -v names="${viewers[*]}" '
  function median(v, n,   i, j, t) {
    for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (v[j] < v[i]) { t = v[i]; v[i] = v[j]; v[j] = t }
    return n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
  }
  { n++; k = NF - 1; b[n] = $NF; for (v = 1; v <= k; v++) { a[v, n] = $v; r[v, n] = $v / $NF } }
  END {
    split(names, name, " ")
    for (v = 1; v <= k; v++) {
      for (i = 1; i <= n; i++) { x[i] = a[v, i]; y[i] = r[v, i]; z[i] = b[i] }
      printf "median of %d rounds: %s %.2f s, peer %.2f s, ratio %.2f\n", n, name[v], median(x, n), median(z, n), median(y, n)
    }
  }
' "$out/pairs"
