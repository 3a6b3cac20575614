#!/usr/bin/env bash
# Builds the libFuzzer target with clang (AddressSanitizer and UndefinedBehaviorSanitizer on)
# and runs it for the given number of seconds; prints libFuzzer's final statistics.
# Usage: tools/fuzz.sh SECONDS [BUILD_DIR]   (default build dir: build-fuzz)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:?usage: tools/fuzz.sh SECONDS [BUILD_DIR]}
build=${2:-build-fuzz}

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DTSM2OSTRA_FUZZ=ON -DTSM2OSTRA_TESTS=OFF >/dev/null
cmake --build "$build" --target tsm2ostra_fuzz -j2
bash fuzz/run_fuzzer.sh "$build/tsm2ostra_fuzz" "$PWD" "$build/fuzz" "$seconds"
