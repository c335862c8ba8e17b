#!/usr/bin/env bash
# Installs the dependencies, builds the viewer and starts it on a data file (default: the sample
# graph of this project's own sources). Without a display, run it under xvfb-run.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)" --target ramiflex
exec ./build/src/app/ramiflex "${@:-data/ramiflex.xml}"
