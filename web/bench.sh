#!/usr/bin/env bash
# The WebAssembly converter's speed: converts a generated model (bench/generate_model, many
# geometries) with the native program and through OUTDIR/tsm2ostra.mjs under Node, one run
# each, alternating, and prints the wall times, their ratio and the size of OUTDIR; the two
# drawings must be the same bytes.
# Usage: web/bench.sh OUTDIR NATIVE_BUILD_DIR [MB] (default 100). ROUNDS: rounds (default 1).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
outdir=$1
build=$2
megabytes=${3:-100}
rounds=${ROUNDS:-1}
data="$build/web-bench"
mkdir -p "$data"
generator="$data/generate_model"
[ -x "$generator" ] || g++ -O2 -std=c++17 -o "$generator" "$root/bench/generate_model.cc"
model="$data/many-$megabytes.tsm"
[ -s "$model" ] || "$generator" "$model" "$megabytes" many

seconds() {
  local start end
  start=$(date +%s%N)
  "$@" >/dev/null
  end=$(date +%s%N)
  echo "scale=3; ($end - $start) / 1000000000" | bc
}
native_total=0
node_total=0
for ((round = 1; round <= rounds; ++round)); do
  native=$(seconds "$build/tsm2ostra" "$model" "$data/native.ost")
  node=$(seconds node "$root/web/tests/convert_file.mjs" "$outdir" "$model" "$data/node.ost")
  cmp -s "$data/native.ost" "$data/node.ost" || { echo "web/bench.sh: the drawings differ" >&2; exit 1; }
  echo "round $round: native $native s, node $node s"
  native_total=$(echo "$native_total + $native" | bc)
  node_total=$(echo "$node_total + $node" | bc)
done
echo "model: $(du -m "$model" | cut -f1) MB, drawing: $(du -m "$data/native.ost" | cut -f1) MB"
echo "node / native: $(echo "scale=2; $node_total / $native_total" | bc)"
echo "OUTDIR: $(du -cb "$outdir"/* | tail -1 | cut -f1) bytes ($(ls "$outdir" | tr '\n' ' '))"
rm -f "$data/native.ost" "$data/node.ost"
