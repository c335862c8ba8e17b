#!/usr/bin/env bash
# Installs the dependencies, configures, builds and runs every test (GL tests under Xvfb).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
xvfb-run -a -s "-screen 0 1600x1200x24" ctest --test-dir build --output-on-failure -j"$(nproc)" --repeat until-pass:2
