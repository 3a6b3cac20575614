#!/usr/bin/env bash
# Builds ostra2svg's libFuzzer target with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer on) and runs it for the given number of seconds over a corpus
# seeded from every drawing in the tree; prints libFuzzer's final statistics. A crash, leak,
# hang or failed check stops the run with a non-zero status and leaves the input in
# BUILD_DIR/fuzz-preview/artifacts/.
# Usage: preview/fuzz.sh SECONDS [BUILD_DIR]   (default build dir: build-fuzz)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:?usage: preview/fuzz.sh SECONDS [BUILD_DIR]}
build=${2:-build-fuzz}
work=$build/fuzz-preview

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DTSM2OSTRA_FUZZ=ON -DTSM2OSTRA_TESTS=OFF >/dev/null
cmake --build "$build" --target ostra2svg_fuzz -j2

mkdir -p "$work/corpus" "$work/seeds" "$work/artifacts"
for drawing in examples/*.ost docs/pictures/*.ost tests/golden/*/expected.ost; do
  cp "$drawing" "$work/seeds/$(echo "$drawing" | tr / -)"
done
status=0
"$build/preview/ostra2svg_fuzz" -dict=preview/ostra2svg.dict -max_total_time="$seconds" -timeout=10 \
  -max_len=16384 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$work/artifacts/" \
  "$work/corpus" "$work/seeds" >"$work/fuzz.log" 2>&1 || status=$?
if [ "$status" != 0 ]; then
  echo "fuzzer failed (status $status); the end of $work/fuzz.log:"
  tail -n 60 "$work/fuzz.log"
  ls -l "$work/artifacts"
  exit 1
fi
grep -E '^#[0-9]+[[:space:]]+DONE|^Done [0-9]+ runs|^stat::' "$work/fuzz.log"
