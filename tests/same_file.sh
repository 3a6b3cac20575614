#!/usr/bin/env bash
# Names the model as its own output in every way a file system allows (the same name, another
# path, a hard link, a symbolic link, each way round) and checks that each run is refused with
# "File error. Cannot open output file." and status 255 and leaves the model as it was; then
# that a different output still converts. For builds whose unit tests don't run (Windows,
# other processors); TSM2OSTRA_EMULATOR, if set, is the command that runs the program.
set -u
program=$1
examples=$2
read -r -a emulator <<<"${TSM2OSTRA_EMULATOR:-}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/sub"
cp "$examples/model.tsm" "$work/model.tsm"
ln "$work/model.tsm" "$work/hard.tsm"
ln -s model.tsm "$work/symbolic.tsm" 2>/dev/null || echo "note: no symbolic links here"
failed=0
# run INPUT OUTPUT EXPECTED_STATUS EXPECTED_LAST_LINE
run() {
  (cd "$work" && "${emulator[@]}" "$program" "$1" "$2" >"$work/console.txt")
  local status=$? last
  last=$(tail -n 1 "$work/console.txt" | tr -d '\r')
  if [ $status != "$3" ] || [ "$last" != "$4" ]; then
    echo "FAIL $1 -> $2: status $status, '$last'"; failed=1
  elif ! cmp -s "$work/model.tsm" "$examples/model.tsm"; then
    echo "FAIL $1 -> $2: the model was changed"; failed=1
    cp "$examples/model.tsm" "$work/model.tsm"
  fi
}
refused="File error. Cannot open output file."
run model.tsm model.tsm 255 "$refused"
run model.tsm sub/../model.tsm 255 "$refused"
run model.tsm "$work/model.tsm" 255 "$refused"
run model.tsm hard.tsm 255 "$refused"
run hard.tsm model.tsm 255 "$refused"
if [ -L "$work/symbolic.tsm" ]; then
  run model.tsm symbolic.tsm 255 "$refused"
  run symbolic.tsm model.tsm 255 "$refused"
fi
run model.tsm drawing.ost 0 "File 'model.tsm' successfully converted."
cmp -s "$work/drawing.ost" "$examples/model.ost" || { echo "FAIL: the drawing differs"; failed=1; }
[ $failed = 0 ] && echo "same_file: the model named as its own output is refused every way"
exit $failed
