#!/usr/bin/env bash
# Coverage of the product sources (driver/, scan/, translate/) by the whole test suite:
# a g++ --coverage build in build-coverage, ctest, then line and branch totals from gcov.
# Branches are counted on the product sources only, without the exception edges that
# -fexceptions adds to calls (the conversion throws nothing). TSM2OSTRA_COVERAGE keeps the
# inner loops' functions out of line, so that each of their branches counts once, not once per
# caller. Per-file figures come first.
# Usage: tools/coverage.sh   (COVERAGE_BRANCHES=1 also lists lines with a branch not taken)
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-coverage
command -v python3 >/dev/null || { apt-get update -q && apt-get install -y -q python3; }

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=g++ \
  -DCMAKE_CXX_FLAGS="--coverage -O0 -DTSM2OSTRA_COVERAGE" -DCMAKE_EXE_LINKER_FLAGS=--coverage >/dev/null
# Counts from earlier builds are dropped before the build (whose test discovery runs the test
# binary) and again before the tests.
find "$build" -name '*.gcda' -delete 2>/dev/null || true
cmake --build "$build" -j2 >/dev/null
find "$build" -name '*.gcda' -delete
ctest --test-dir "$build" --output-on-failure >"$build/ctest.log" || {
  tail -n 40 "$build/ctest.log"; echo "tests failed"; exit 1; }
tail -n 3 "$build/ctest.log"

json=$build/gcov-json
rm -rf "$json" && mkdir -p "$json"
find "$PWD/$build" -name '*.gcda' | while read -r data; do
  (cd "$json" && gcov --json-format --branch-probabilities --branch-counts -o "$(dirname "$data")" "$data" >/dev/null)
done

python3 - "$PWD" "$json" <<'PY'
import glob, gzip, json, os, sys
root, folder = sys.argv[1], sys.argv[2]
lines, branches = {}, {}
for path in glob.glob(os.path.join(folder, "*.gcov.json.gz")):
    for f in json.load(gzip.open(path))["files"]:
        name = os.path.relpath(os.path.realpath(os.path.join(root, f["file"])), root)
        if name.split("/")[0] not in ("driver", "scan", "translate") or "test" in name:
            continue
        for l in f["lines"]:
            key = (name, l["line_number"])
            lines[key] = lines.get(key, 0) + l["count"]
            for i, b in enumerate(l["branches"]):
                if b.get("throw"):
                    continue
                key = (name, l["line_number"], l.get("function_name", ""), i)
                branches[key] = branches.get(key, 0) + b["count"]
def totals(table, name=None, folders=None):
    keys = [k for k in table if (name is None or k[0] == name) and
            (folders is None or k[0].split("/")[0] in folders)]
    return sum(1 for k in keys if table[k] > 0), len(keys)
def pct(hit, total):
    return 100.0 * hit / total if total else 100.0
for name in sorted({k[0] for k in lines}):
    lh, lt = totals(lines, name)
    bh, bt = totals(branches, name)
    print(f"{name:32} lines {pct(lh, lt):6.2f}% of {lt:4}   branches {pct(bh, bt):6.2f}% of {bt:4}")
    missed = sorted(k[1] for k in lines if k[0] == name and lines[k] == 0)
    if missed:
        print(f"{'':32} lines not run: {' '.join(map(str, missed))}")
    missed = sorted({k[1] for k in branches if k[0] == name and branches[k] == 0})
    if missed and os.environ.get("COVERAGE_BRANCHES"):
        print(f"{'':32} lines with a branch not taken: {' '.join(map(str, missed))}")
lh, lt = totals(lines)
bh, bt = totals(branches)
print(f"TOTAL lines {pct(lh, lt):.2f}% ({lh}/{lt}), branches {pct(bh, bt):.2f}% ({bh}/{bt})")
lh, lt = totals(lines, folders=("scan", "translate"))
bh, bt = totals(branches, folders=("scan", "translate"))
print(f"scan/ and translate/: lines {pct(lh, lt):.2f}% ({lh}/{lt}), "
      f"branches {pct(bh, bt):.2f}% ({bh}/{bt})")
PY
