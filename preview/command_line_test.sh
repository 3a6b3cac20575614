#!/usr/bin/env bash
# Runs the built ostra2svg as a user would: options, missing and unreadable files, a faulty
# drawing and a good one, and pictures at every kind of path (a device, a FIFO, links, a
# folder), failing writes and a killed run. Checks each status, the whole message, and the
# files left behind: a failed run leaves no picture and no temporary file, and keeps an older
# picture as it was. TSM2OSTRA_EMULATOR, if set, is the command that runs the program (wine
# for Windows); the cases that need POSIX files and processes are then skipped.
# Usage: preview/command_line_test.sh OSTRA2SVG VERSION
set -u
program=$1
version=$2
read -r -a emulator <<<"${TSM2OSTRA_EMULATOR:-}"
native=1
[ ${#emulator[@]} = 0 ] || native=0
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
cd "$work" || exit 1
failed=0
count=0

# run EXPECTED_STATUS EXPECTED_STDERR ARGS...: runs the program and compares.
run() {
  local expected_status=$1 expected_err=$2 status
  shift 2
  count=$((count + 1))
  "${emulator[@]}" "$program" "$@" <good.ost >out.txt 2>err.txt
  status=$?
  if [ "$status" != "$expected_status" ] || [ "$(tr -d '\r' <err.txt)" != "$expected_err" ]; then
    echo "FAIL: ostra2svg $*: status $status (expected $expected_status), stderr:"
    cat err.txt
    echo "expected: $expected_err"
    failed=$((failed + 1))
  fi
}
# check WHAT COMMAND...: a check that passes when COMMAND succeeds.
check() {
  local what=$1
  shift
  count=$((count + 1))
  "$@" || { echo "FAIL: $what"; failed=$((failed + 1)); }
}
# only_files LIST: the folder holds exactly these files (besides out.txt and err.txt).
only_files() {
  local found
  found=$(ls -A | grep -vx -e out.txt -e err.txt | tr '\n' ' ')
  if [ "$found" != "$1 " ]; then
    echo "FAIL: files left: '$found', expected '$1 '"
    failed=$((failed + 1))
  fi
}

try="Try 'ostra2svg --help' for more information."
printf '\npoint P1_1 70.00 50.00\ncmark P1_1' >good.ost
printf '\npoint P1_1 70.00 50.00\nfly P1_1\ncmark P1_1' >bad.ost
printf 'older picture' >kept.svg

run 0 "" --help
tr -d '\r' <out.txt | grep -q '^Usage: ostra2svg \[--fit\] DRAWING.ost PICTURE.svg$' || { echo "FAIL: --help text"; failed=$((failed + 1)); }
run 0 "" --version
[ "$(head -n 1 out.txt | tr -d '\r')" = "ostra2svg (tsm2ostra) $version" ] || { echo "FAIL: --version: $(head -n 1 out.txt)"; failed=$((failed + 1)); }
run 2 "ostra2svg: missing drawing and picture file names
$try"
run 2 "ostra2svg: missing picture file name after 'good.ost'
$try" good.ost
run 2 "ostra2svg: too many arguments: 'c'
$try" good.ost a.svg c
run 2 "ostra2svg: unknown option '-x'
$try" -x good.ost a.svg
run 2 "ostra2svg: cannot read 'none.ost': No such file or directory" none.ost a.svg
[ $native = 0 ] || run 2 "ostra2svg: cannot read '.': Is a directory" . a.svg
run 2 "ostra2svg: cannot write './good.ost': it is the drawing itself" good.ost ./good.ost
run 2 "ostra2svg: cannot write 'no/a.svg': No such file or directory" good.ost no/a.svg
only_files "bad.ost good.ost kept.svg"

# A faulty drawing: one message with its line, status 1, the older picture untouched.
run 1 "ostra2svg: bad.ost:3: unknown command 'fly'" bad.ost kept.svg
[ "$(cat kept.svg)" = "older picture" ] || { echo "FAIL: kept.svg was changed"; failed=$((failed + 1)); }
only_files "bad.ost good.ost kept.svg"

# A good drawing replaces the older picture; "--" lets a name begin with '-'.
run 0 "" good.ost kept.svg
grep -q '<circle class="cmark" data-line="3"' kept.svg || { echo "FAIL: kept.svg not replaced"; failed=$((failed + 1)); }
cp good.ost ./-g.ost
run 0 "" -- -g.ost -p.svg
only_files "-g.ost -p.svg bad.ost good.ost kept.svg"

rm ./-g.ost ./-p.svg
cp kept.svg expected.svg

# The newer options and operands: status, message, arguments; standard input is good.ost.
while IFS='|' read -r status message arguments; do
  read -r -a words <<<"$arguments"
  run "$status" "$(printf '%b' "$message")" "${words[@]}"
  case $arguments in
    -h) check "-h shows the usage" grep -q '^Usage: ostra2svg' out.txt ;;
    "- stdin.svg") check "'-' reads standard input" cmp -s stdin.svg expected.svg ;;
    "good.ost -") check "'-' writes standard output" cmp -s out.txt expected.svg ;;
    "--fit good.ost fit.svg")  # the mark at (70, 50) alone, with the margin
      check "--fit shows the drawing alone" grep -q 'viewBox="63 43 14 14"' fit.svg ;;
  esac
done <<EOF
0||-h
0||- stdin.svg
0||good.ost -
0||--fit good.ost fit.svg
2|ostra2svg: unknown option '--fi'\n$try|--fi good.ost a.svg
EOF
only_files "bad.ost expected.svg fit.svg good.ost kept.svg stdin.svg"
rm fit.svg stdin.svg

# Pictures at paths that are no regular file, and a failure at each step of writing one.
if [ $native = 1 ]; then
  # A device is written in place: for root a copy of /dev/full, so that nothing outside
  # the test can be replaced; others, who can't replace it, use /dev/full itself.
  full=/dev/full
  if [ "$(id -u)" = 0 ]; then
    full=full
    mknod full c 1 7 2>/dev/null && ! (printf x >full) 2>/dev/null ||
      { echo "note: no device nodes here: no device check"; rm -f full; full=""; }
  fi
  if [ -n "$full" ]; then
    run 2 "ostra2svg: cannot write '$full': No space left on device" good.ost $full
    check "$full is still a device" [ -c $full ]
    [ $full = /dev/full ] || rm full
  fi
  "$program" good.ost - >/dev/full 2>err.txt
  check "standard output on a full device: $(cat err.txt)" \
    [ "$(cat err.txt)" = "ostra2svg: cannot write '-': No space left on device" ]
  # A FIFO too.
  mkfifo pipe.svg
  cat pipe.svg >from_pipe.svg &
  reader=$!
  run 0 "" good.ost pipe.svg
  # The reader ends with the picture; one still waiting would wait for ever.
  for _ in $(seq 50); do kill -0 $reader 2>/dev/null || break; sleep 0.02; done
  kill $reader 2>/dev/null
  wait $reader
  check "the FIFO is kept" [ -p pipe.svg ]
  check "the FIFO's picture" cmp -s from_pipe.svg expected.svg
  # Standard output by name: a link of the test's own, like /dev/stdout, so that a program
  # that replaces it can't touch /dev.
  ln -s /proc/self/fd/1 stdout.svg
  run 0 "" good.ost stdout.svg
  check "standard output by name is written" cmp -s out.txt expected.svg
  check "standard output's link is kept" [ -L stdout.svg ]
  rm pipe.svg from_pipe.svg stdout.svg
  # A symbolic link is followed; a hard link's other name keeps the older picture; the
  # drawing by another name is refused; an existing picture keeps its mode.
  ln -s target.svg link.svg
  run 0 "" good.ost link.svg
  check "the link is kept" [ -L link.svg ]
  check "the link's target is written" cmp -s target.svg expected.svg
  ln kept.svg hard.svg
  printf 'older picture' >kept.svg
  run 0 "" good.ost hard.svg
  check "the hard link's other name is kept" [ "$(cat kept.svg)" = "older picture" ]
  ln good.ost same.svg
  run 2 "ostra2svg: cannot write 'same.svg': it is the drawing itself" good.ost same.svg
  chmod 640 kept.svg
  run 0 "" good.ost kept.svg
  check "the mode is kept" [ "$(stat -c %a kept.svg)" = 640 ]
  rm link.svg target.svg hard.svg same.svg
  # The last step fails after the whole picture was written: a folder stands at the path.
  mkdir folder.svg
  run 2 "ostra2svg: cannot write 'folder.svg': Is a directory" good.ost folder.svg
  rmdir folder.svg
  # A file-size limit fails a write; the message says why.
  for i in $(seq 200); do printf 'point P%d %d 5\ncmark P%d\n' $i $i $i; done >big.ost
  (ulimit -f 1; "$program" big.ost big.svg >out.txt 2>err.txt)
  check "a file-size limit: status $?, $(cat err.txt)" \
    [ "$(cat err.txt)" = "ostra2svg: cannot write 'big.svg': File too large" ]
  # A temporary file that can't be made is named as such (root may write anywhere but in
  # /proc).
  if [ "$(id -u)" != 0 ]; then
    mkdir locked && chmod a-w locked
    run 2 "ostra2svg: cannot create a temporary file in 'locked': Permission denied" good.ost locked/a.svg
    rmdir locked
  else
    run 2 "ostra2svg: cannot create a temporary file in '/proc': No such file or directory" \
      good.ost /proc/a.svg
  fi
  # A run killed while it reads, after it opened its picture, leaves nothing behind.
  mkfifo drawing.ost
  "$program" drawing.ost killed.svg 2>/dev/null &
  pid=$!
  exec 3>drawing.ost
  head -c 2000 big.ost >&3
  for _ in $(seq 100); do
    ls -l /proc/$pid/fd | grep -q -e '(deleted)$' -e '\.tmp$' && break
    sleep 0.02
  done
  kill -9 $pid
  wait $pid 2>/dev/null
  exec 3>&-
  rm drawing.ost big.ost
  only_files "bad.ost expected.svg good.ost kept.svg"
  # Memory running out: status 3 (where a memory limit leaves room to start; sanitizers
  # need far more).
  if { (ulimit -v 40000; "$program" --version) >/dev/null 2>&1; } 2>/dev/null; then
    awk 'BEGIN { for (i = 0; i < 3000000; i++) print "point P" i " 1 1" }' |
      (ulimit -v 40000; "$program" - oom.svg >out.txt 2>err.txt)
    check "out of memory: status $?, $(cat err.txt)" [ "$(cat err.txt)" = "ostra2svg: out of memory" ]
  fi
fi
only_files "bad.ost expected.svg good.ost kept.svg"

echo "ostra2svg command line: $((count - failed)) of $count checks passed"
[ $failed = 0 ]
