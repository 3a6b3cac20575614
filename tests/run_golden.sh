#!/usr/bin/env bash
# Runs every case folder under the golden tree through the converter and compares the output
# file, the console text and the exit status with the expected ones; prints a diff on mismatch.
# A case folder holds input.tsm, expected.ost, expected.txt (console) and expected.status.
# TSM2OSTRA_EMULATOR, if set, is the command that runs the program (qemu-i386, wine64, ...);
# the console text of a Windows program (.exe) may end its lines in CR-LF, which is read as LF.
set -u
program=$1
root=$2
read -r -a emulator <<<"${TSM2OSTRA_EMULATOR:-}"
console_cr=''
case $program in *.exe) console_cr='s/\r$//;' ;; esac
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
count=0
for case_dir in "$root"/*/; do
  name=$(basename "$case_dir")
  count=$((count + 1))
  # The console names the files as typed, so run from inside the case folder.
  (cd "$case_dir" && "${emulator[@]}" "$program" input.tsm "$work/out.ost" >"$work/console.txt"; echo $? >"$work/status")
  sed "${console_cr}s|$work/out.ost|OUTPUT|" "$work/console.txt" >"$work/console.norm"
  ok=1
  if ! cmp -s "$work/out.ost" "$case_dir/expected.ost"; then
    echo "FAIL $name: output differs"; diff <(cat "$case_dir/expected.ost"; echo) <(cat "$work/out.ost"; echo) | head -20; ok=0
  fi
  if ! cmp -s "$work/console.norm" "$case_dir/expected.txt"; then
    echo "FAIL $name: console differs"; diff "$case_dir/expected.txt" "$work/console.norm" | head -20; ok=0
  fi
  if [ "$(cat "$work/status")" != "$(cat "$case_dir/expected.status")" ]; then
    echo "FAIL $name: status $(cat "$work/status"), expected $(cat "$case_dir/expected.status")"; ok=0
  fi
  [ $ok = 1 ] || failed=$((failed + 1))
  rm -f "$work/out.ost"
done
echo "golden: $((count - failed)) of $count cases passed"
[ $count -gt 0 ] && [ $failed = 0 ]
