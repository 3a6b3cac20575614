#!/usr/bin/env bash
# Converts every model in the example gallery and checks that it succeeds and that the .ost
# beside it holds exactly the program's output; prints a diff for a drawing that drifted.
# TSM2OSTRA_EMULATOR, if set, is the command that runs the program (qemu-i386, wine64, ...);
# the console text of a Windows program (.exe) may end its lines in CR-LF, which is read as LF.
set -u
program=$1
examples=$2
read -r -a emulator <<<"${TSM2OSTRA_EMULATOR:-}"
console_cr=''
case $program in *.exe) console_cr='s/\r$//' ;; esac
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
count=0
for model in "$examples"/*.tsm; do
  name=$(basename "$model" .tsm)
  count=$((count + 1))
  (cd "$examples" && "${emulator[@]}" "$program" "$name.tsm" "$work/out.ost" >"$work/console.raw")
  status=$?
  sed "$console_cr" "$work/console.raw" >"$work/console.txt"
  if [ $status != 0 ] || [ "$(tail -n 1 "$work/console.txt")" != "File '$name.tsm' successfully converted." ]; then
    echo "FAIL $name: status $status"; tail -n 1 "$work/console.txt"; failed=$((failed + 1))
  elif [ ! -f "$examples/$name.ost" ]; then
    echo "FAIL $name: $name.ost is missing"; failed=$((failed + 1))
  elif ! cmp -s "$work/out.ost" "$examples/$name.ost"; then
    echo "FAIL $name: $name.ost differs from the program's output"
    diff <(cat "$examples/$name.ost"; echo) <(cat "$work/out.ost"; echo) | head -20
    failed=$((failed + 1))
  fi
done
echo "examples: $((count - failed)) of $count models match their drawings"
[ $count -gt 0 ] && [ $failed = 0 ]
