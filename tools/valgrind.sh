#!/usr/bin/env bash
# Runs the built converter under valgrind's memcheck on the example model, a large generated
# model and a few failing runs (invalid input, truncated input, a full disk, a missing file).
# Exits non-zero if valgrind reports any error or leak, or a run ends with the wrong status.
# Usage: tools/valgrind.sh [BUILD_DIR]   (default: build; configured if new, program rebuilt)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
[ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target tsm2ostra -j2 >/dev/null
program=$PWD/$build/tsm2ostra
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A model large enough to grow every buffer: long labels, thousands of points and faces.
{
  printf '<tsm-model><geometries><geometry><pointSet>\n<p name="%s">0 0</p>\n' "$(head -c 3000 /dev/zero | tr '\0' L)"
  for i in $(seq 1 5000); do printf '<p name="p%d">%d 1</p>\n' "$i" "$i"; done
  printf '</pointSet><faceSet>\n'
  for i in $(seq 1 3000); do printf '<f>0 1 2</f>\n'; done
  printf '<f name="big">'; seq 0 20000 | tr '\n' ' '; printf '</f>\n'
  printf '</faceSet></geometry></geometries></tsm-model>\n'
} >"$work/big.tsm"
printf '<tsm-model><geometries><geometry><pointSet><p>1 x</p></pointSet>' >"$work/invalid.tsm"
printf '<tsm-model><geometries><geometry><pointSet><p>1 2</p>' >"$work/truncated.tsm"

failed=0
# check NAME EXPECTED_STATUS INPUT OUTPUT
check() {
  local name=$1 expected=$2 status=0
  valgrind --quiet --leak-check=full --errors-for-leak-kinds=definite,indirect,possible \
    --error-exitcode=99 --log-file="$work/$name.log" "$program" "$3" "$4" >"$work/$name.out" ||
    status=$?
  if [ "$status" = 99 ] || [ -s "$work/$name.log" ]; then
    echo "FAIL $name: valgrind reported errors"; cat "$work/$name.log"; failed=1
  elif [ "$status" != "$expected" ]; then
    echo "FAIL $name: status $status, expected $expected"; cat "$work/$name.out"; failed=1
  else
    echo "ok   $name (status $status)"
  fi
}
check example 0 examples/model.tsm "$work/model.ost"
check large-model 0 "$work/big.tsm" "$work/big.ost"
check invalid-input 1 "$work/invalid.tsm" "$work/invalid.ost"
check truncated-input 1 "$work/truncated.tsm" "$work/truncated.ost"
check full-disk 1 examples/model.tsm /dev/full
check missing-input 255 "$work/no-such-file.tsm" "$work/none.ost"
exit $failed
