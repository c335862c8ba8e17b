#!/usr/bin/env bash
# Installs the dependencies, builds the viewer and starts it on a data file or a source folder to
# scan (default: the sample graph of this project's own sources). Without a display, run it under
# xvfb-run.
set -euo pipefail
# Paths given are meant from where the script was started, not from the sources' folder.
args=()
for arg in "$@"; do
  if [[ -e "$arg" ]]; then args+=("$(realpath -- "$arg")"); else args+=("$arg"); fi
done
set -- "${args[@]+"${args[@]}"}"
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)" --target ramiflex
exec ./build/src/app/ramiflex "${@:-data/ramiflex.xml}"
