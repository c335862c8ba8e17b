#!/usr/bin/env bash
# Draws a fixed set of pictures and exports with one build, so that two builds can be compared
# file for file (scripts/compare-sets.py): every view flat and in 3D, every blending method, both
# curve paths, a collapsed overview and the export tools' outputs.
#
#     scripts/picture-set.sh BUILD_DIR OUT_DIR [BIG_GRAPH.rsf]
#
# Run under xvfb-run. The overlay is hidden: it shows the frame time, which differs run to run.
set -euo pipefail
build=$1 out=$2 big=${3:-}
here=$(cd "$(dirname "$0")/.." && pwd)
viewer=$build/src/app/ramiflex export=$build/src/tools/ramiflex-export
mkdir -p "$out"
small=$here/data/ramiflex.xml

shot() {  # name, file, options...
    local name=$1 file=$2
    shift 2
    "$viewer" "$file" --hide overlay --screenshot "$out/$name" "$@" > /dev/null
}
for view in 0 1 2 3 4; do
    shot "small-v$view-3d.png" "$small" --view $view
    shot "small-v$view-2d.png" "$small" --view $view --2d
    for blend in 1 2 3 4; do
        shot "small-v$view-b$blend.png" "$small" --view $view --blend $blend
    done
    RAMIFLEX_CURVES=gpu shot "small-v$view-gpu.png" "$small" --view $view --2d
    RAMIFLEX_CURVES=cpu shot "small-v$view-cpu.png" "$small" --view $view --2d --beta 0.2
done
shot small-depth1.png "$small" --depth 1 --view 4 --2d
shot small-vector.svg "$small" --view 1
"$export" "$small" > "$out/small-export.txt"
"$export" "$small" --depth 1 --beta 0.3 > "$out/small-export-depth1.txt"
"$export" "$here/data/ramiflex.rsf" --exclude '*/core' > "$out/rsf-export-exclude.txt"
for format in rsf xml; do
    "$build/src/tools/ramiflex-scan" /usr/include/boost/graph -o "$out/scan.$format" > /dev/null 2>&1
done
if [[ -n $big ]]; then
    for view in 0 1 2 3 4; do
        shot "big-v$view-2d.png" "$big" --view $view --2d --depth all
        shot "big-v$view-overview.png" "$big" --view $view
    done
    "$export" "$big" > "$out/big-export.txt"
fi
