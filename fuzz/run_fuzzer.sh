#!/usr/bin/env bash
# Runs the built fuzz target for a number of seconds over a corpus seeded from the test models,
# then prints libFuzzer's final statistics. Exits non-zero when the fuzzer found a fault.
# Usage: fuzz/run_fuzzer.sh FUZZER SOURCE_DIR WORK_DIR SECONDS
set -euo pipefail
fuzzer=$1
source_dir=$2
work=$3
seconds=$4

# The seeds are the test models and the inputs earlier runs found (fuzz/corpus), copied at
# run time; the corpus the fuzzer grows is kept in the work folder between runs.
mkdir -p "$work/corpus" "$work/seeds" "$work/artifacts"
for model in "$source_dir"/tests/golden/*/input.tsm "$source_dir"/examples/*.tsm; do
  [ -f "$model" ] || continue
  case_name=$(basename "$(dirname "$model")")-$(basename "$model")
  cp "$model" "$work/seeds/$case_name"
done
cp "$source_dir"/fuzz/corpus/* "$work/seeds/" 2>/dev/null || true

# Inputs up to 64 KiB, so that records spill into further arena chunks and the output buffer
# fills during a conversion; libFuzzer still starts small and lengthens inputs gradually.
log="$work/fuzz.log"
status=0
"$fuzzer" -dict="$source_dir/fuzz/tsm2ostra.dict" -max_total_time="$seconds" -timeout=10 \
  -max_len=65536 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$work/artifacts/" \
  "$work/corpus" "$work/seeds" >"$log" 2>&1 || status=$?

if [ "$status" != 0 ]; then
  echo "fuzzer failed (status $status); the end of $log:"
  tail -n 60 "$log"
  ls -l "$work/artifacts"
  exit 1
fi
grep -E '^#[0-9]+[[:space:]]+DONE|^Done [0-9]+ runs|^stat::' "$log"

# KEEP=1: the inputs of this run that reach new code join fuzz/corpus, for the next runs.
if [ "${KEEP:-0}" = 1 ]; then
  mkdir -p "$source_dir/fuzz/corpus"
  "$fuzzer" -merge=1 -max_len=65536 "$source_dir/fuzz/corpus" "$work/corpus" >"$work/merge.log" 2>&1
  echo "fuzz/corpus: $(ls "$source_dir/fuzz/corpus" | wc -l) inputs"
fi
