#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and UndefinedBehaviorSanitizer) in
# build-fuzz/ and runs each for SECONDS (default 60) on its seed corpus in fuzz/corpus/<target>.
# New inputs collect in build-fuzz/corpus/<target>; an input that fails is written to
# build-fuzz/artifacts/<target>/ and ends the script with a failure.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"

cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DRAMIFLEX_FUZZ=ON -DRAMIFLEX_BUILD_GUI=OFF -DRAMIFLEX_BUILD_BENCH=OFF
cmake --build build-fuzz -j"$(nproc)" --target fuzz_targets

# Inputs are capped so that each run stays small and quick; the whole road (layouts and curves of
# every relation edge) gets the smaller cap.
declare -A max_len=([rsf_reader]=8192 [xml_reader]=8192 [load_pipeline]=4096 [scan_inputs]=8192)
for target in rsf_reader xml_reader load_pipeline scan_inputs; do
  mkdir -p "build-fuzz/corpus/$target" "build-fuzz/artifacts/$target"
  echo "fuzz_$target: ${seconds} s"
  log="build-fuzz/fuzz_$target.log"
  status=0
  "build-fuzz/fuzz/fuzz_$target" -max_total_time="$seconds" -max_len="${max_len[$target]}" \
    -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="build-fuzz/artifacts/$target/" \
    "build-fuzz/corpus/$target" "fuzz/corpus/$target" >"$log" 2>&1 || status=$?
  # The log without the line per new or reduced input.
  grep -v -E '^#[0-9]+[[:space:]]+(NEW|REDUCE|pulse)' "$log" || true
  if [ "$status" -ne 0 ]; then
    echo "fuzz_$target failed (status $status); input in build-fuzz/artifacts/$target/" >&2
    exit 1
  fi
done
