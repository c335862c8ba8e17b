#!/usr/bin/env bash
# Installs the dependencies, configures, builds and runs every test (GL tests under Xvfb); builds,
# installs, tries and removes the Debian package; then the whole suite again built with
# AddressSanitizer and UndefinedBehaviorSanitizer, and a short run of every fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
xvfb=(xvfb-run -a -s "-screen 0 1600x1200x24")

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
"${xvfb[@]}" ctest --test-dir build --output-on-failure -j"$(nproc)"

# The Debian package of that build: installed, run from / and removed again.
bash scripts/package-test.sh

# Sanitizers: every test of a build of its own. Leaks are reported for everything but the GL and
# GUI tests, where the GL driver and the D-Bus library leave allocations behind at exit.
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRAMIFLEX_SANITIZE=ON \
  -DRAMIFLEX_BUILD_BENCH=OFF
cmake --build build-asan -j"$(nproc)"
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
ctest --test-dir build-asan --output-on-failure -j"$(nproc)" -LE 'gl|gui'
ASAN_OPTIONS=detect_leaks=0 "${xvfb[@]}" ctest --test-dir build-asan --output-on-failure \
  -j"$(nproc)" -L 'gl|gui'

bash scripts/fuzz.sh 60
