#!/usr/bin/env bash
# Benchmark: converts a generated model with tsm2ostra, checks it with tsmcheck, and parses the same file with
# libxml2's SAX interface, with expat and with `xmllint --stream`, and prints throughput
# (median of RUNS runs), peak memory and the ratios. Usage: bench/run_benchmark.sh [MB]
#   MB     size of the generated models in megabytes (default 200)
#   RUNS   environment variable: runs per program (default 5)
#   MICRO  environment variable: 0 skips the Google Benchmark micro-benchmarks
#   OVERWRITE  environment variable: 1 converts over the previous round's drawing instead of
#          into a new file (then each run also pays for freeing the old drawing's blocks)
#   BASELINE   environment variable: another tsm2ostra program (an earlier build, say) that
#          takes its turn in every round, and its ratio to this one
# Everything is built in build-bench/, and the models are kept in build-bench/bench-data/.
set -euo pipefail
cd "$(dirname "$0")/.."

megabytes="${1:-200}"
runs="${RUNS:-5}"
build=build-bench
data="$build/bench-data"

# Benchmark-only tools and libraries, installed when missing.
packages="cmake make g++ gcc pkg-config libxml2-dev libexpat1-dev libxml2-utils libbenchmark-dev time"
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  echo "== installing:$missing"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo_cmd apt-get update -q
  # shellcheck disable=SC2086
  $sudo_cmd apt-get install -y -q --no-install-recommends $missing
fi

echo "== building (Release, -O2) in $build"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DTSM2OSTRA_BENCH=ON -DTSM2OSTRA_TESTS=OFF >/dev/null
cmake --build "$build" -j2 >/dev/null
converter="$build/tsm2ostra"
checker="$build/tsmcheck/tsmcheck"
libxml2_count="$build/bench/libxml2_sax_count"
expat_count="$build/bench/expat_count"

mkdir -p "$data"
many="$data/many-${megabytes}.tsm"
single="$data/single-${megabytes}.tsm"
output="$data/out.ost"
for mode in many single; do
  model="$data/$mode-${megabytes}.tsm"
  if [ ! -s "$model" ] || [ "$model" -ot "$build/bench/generate_model" ]; then
    echo "== generating $model"
    "$build/bench/generate_model" "$model" "$megabytes" "$mode"
  fi
done

# One timed run: prints "wall_seconds peak_rss_kib cpu_seconds" (cpu: user + system). The
# program's own output is discarded; a failing run stops the benchmark.
timed_run() {
  local stats_file start end
  stats_file="$(mktemp)"
  start=$(date +%s%N)
  if ! /usr/bin/time -f "%M %U %S" -o "$stats_file" "$@" >/dev/null 2>&1; then
    echo "failed: $*" >&2
    cat "$stats_file" >&2
    rm -f "$stats_file"
    exit 1
  fi
  end=$(date +%s%N)
  echo "$(( end - start )) $(tail -n 1 "$stats_file")" |
    awk '{printf "%.6f %d %.2f\n", $1 / 1e9, $2, $3 + $4}'
  rm -f "$stats_file"
}

# Summarises the timed runs in a file: prints "median_wall_seconds max_peak_rss_kib
# median_cpu_seconds".
summarise() {
  awk '{t[NR] = $1; c[NR] = $3; if ($2 > m) m = $2}
      function median(v, n,   i, j, x) {
        for (i = 2; i <= n; i++) { x = v[i]; for (j = i - 1; j > 0 && v[j] > x; j--) v[j + 1] = v[j]; v[j + 1] = x }
        return (n % 2) ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2 }
      END {printf "%.6f %d %.3f\n", median(t, NR), m, median(c, NR)}' "$1"
}

report() {  # name size_bytes "median_wall rss median_cpu"
  awk -v name="$1" -v size="$2" -v r="$3" 'BEGIN {
    split(r, a, " ");
    printf "%-30s %7.1f MB/s %7.3f s wall %7.2f s cpu %7.1f MiB\n", name, size / 1e6 / a[1],
           a[1], a[3], a[2] / 1024 }'
}

cpu_model="$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//' || true)"
echo "== machine: $(nproc) cores, ${cpu_model:-unknown cpu}; load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "== $runs rounds, the programs in turn: median wall and cpu (user + system) time; peak RSS is the largest of the runs"
if [ "${OVERWRITE:-0}" = 1 ]; then echo "== the drawing is written over the previous one"; else echo "== the drawing goes to a new file each round"; fi

for model in "$many" "$single"; do
  size=$(stat -c %s "$model")
  echo
  echo "== $(basename "$model"): $(awk -v s="$size" 'BEGIN {printf "%.1f", s / 1e6}') MB"
  # Warm the page cache so that every program reads the file from memory.
  cat "$model" >/dev/null
  # The programs take turns, RUNS rounds, so that changes in the machine's speed (it may be
  # shared) hit them alike. Before each round the disk catches up with the drawings written
  # so far (sync, not timed), so that no run pays for an earlier one's write-back.
  times="$(mktemp -d)"
  # Unless OVERWRITE=1, the previous round's drawing is removed first, also untimed: emptying
  # it would make the run pay for freeing its blocks, which on a file system that discards
  # freed blocks at once takes tens of milliseconds of waiting for the disk.
  for ((round = 0; round < runs; round++)); do
    [ "${OVERWRITE:-0}" = 1 ] || rm -f "$output"
    sync
    timed_run "$converter" "$model" "$output" >>"$times/conv"
    timed_run "$checker" "$model" >>"$times/check"
    if [ -n "${BASELINE:-}" ]; then
      [ "${OVERWRITE:-0}" = 1 ] || rm -f "$output"
      timed_run "$BASELINE" "$model" "$output" >>"$times/base"
    fi
    timed_run "$libxml2_count" "$model" >>"$times/sax"
    timed_run "$expat_count" "$model" >>"$times/exp"
    timed_run xmllint --stream --noout "$model" >>"$times/lint"
  done
  out_size=$(stat -c %s "$output")
  rm -f "$output"
  conv=$(summarise "$times/conv")
  check=$(summarise "$times/check")
  sax=$(summarise "$times/sax")
  exp=$(summarise "$times/exp")
  lint=$(summarise "$times/lint")
  report "tsm2ostra, whole conversion" "$size" "$conv"
  report "tsmcheck, check with notices" "$size" "$check"
  if [ -n "${BASELINE:-}" ]; then
    base=$(summarise "$times/base")
    report "baseline, whole conversion" "$size" "$base"
    awk -v c="$conv" -v b="$base" 'BEGIN { split(c, a, " "); split(b, x, " ");
      printf "ratio tsm2ostra / baseline:    %.2f wall, %.2f cpu\n", a[1] / x[1], a[3] / x[3] }'
  fi
  rm -rf "$times"
  report "libxml2 SAX2 push, parse only" "$size" "$sax"
  report "expat, parse only" "$size" "$exp"
  report "xmllint --stream --noout" "$size" "$lint"
  awk -v c="$conv" -v s="$sax" -v e="$exp" -v size="$size" -v out="$out_size" 'BEGIN {
    split(c, a, " "); split(s, b, " "); split(e, x, " ");
    printf "ratio tsm2ostra / libxml2 SAX: %.2f wall, %.2f cpu (1.00 or less: the conversion is faster)\n",
           a[1] / b[1], (b[3] > 0) ? a[3] / b[3] : 0;
    printf "ratio tsm2ostra / expat:       %.2f wall, %.2f cpu\n", a[1] / x[1], (x[3] > 0) ? a[3] / x[3] : 0;
    printf "tsm2ostra peak RSS: %.1f MiB = %.1f%% of the input; output %.1f MB\n",
           a[2] / 1024, a[2] * 1024 * 100 / size, out / 1e6 }'
done

if [ "${MICRO:-1}" != 0 ] && [ -x "$build/bench/micro_benchmark" ]; then
  echo
  echo "== micro-benchmarks"
  "$build/bench/micro_benchmark" --benchmark_min_time=0.2
fi
