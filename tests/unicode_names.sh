#!/usr/bin/env bash
# File names beyond ASCII and beyond any one Windows code page: converts
# "Übung/模型 μοντέλο.tsm" into "模型.ost" and checks the drawing, the exit status and the
# names the console echoes, in UTF-8, both with standard output sent to a file and on a
# terminal (through script(1), which wine shows the program as its console).
# TSM2OSTRA_EMULATOR, if set, is the command that runs the program.
set -u
program=$1
examples=$2
read -r -a emulator <<<"${TSM2OSTRA_EMULATOR:-}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
input='Übung/模型 μοντέλο.tsm'
output='模型.ost'
mkdir "$work/Übung"
cp "$examples/model.tsm" "$work/$input"
expected="Input file: $input
Output file: $output

File '$input' successfully converted."
failed=0
# check HOW STATUS CONSOLE_FILE: the run's status, its last four console lines (without
# CRs and a terminal's control sequences) and the drawing.
check() {
  local got
  got=$(sed 's/\x1b\[[0-9;?]*[A-Za-z]//g; s/\r//g' "$3" | tail -n 4)
  if [ "$2" != 0 ]; then echo "FAIL $1: status $2"; failed=1; fi
  if [ "$got" != "$expected" ]; then
    echo "FAIL $1: the console reads"; printf '%s\n' "$got"; failed=1
  fi
  cmp -s "$work/$output" "$examples/model.ost" || { echo "FAIL $1: no such drawing"; failed=1; }
  rm -f "$work/$output"
}
(cd "$work" && "${emulator[@]}" "$program" "$input" "$output" >console.txt)
check "to a file" $? "$work/console.txt"
if command -v script >/dev/null; then
  command=$(printf '%q ' "${emulator[@]}" "$program" "$input" "$output")
  (cd "$work" && LC_ALL=C.UTF-8 script -qec "$command" /dev/null </dev/null >terminal.txt)
  check "to a terminal" $? "$work/terminal.txt"
else
  echo "note: no script(1), the terminal is not checked"
fi
[ $failed = 0 ] && echo "unicode_names: '$input' converts into '$output', named right on the console"
exit $failed
