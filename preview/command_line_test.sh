#!/usr/bin/env bash
# Runs the built ostra2svg as a user would: options, missing and unreadable files, a faulty
# drawing and a good one. Checks each status, the whole message, and the files left behind:
# a failed run leaves no picture and no temporary file, and keeps an older picture as it was.
# Usage: preview/command_line_test.sh OSTRA2SVG VERSION
set -u
program=$1
version=$2
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
  "$program" "$@" >out.txt 2>err.txt
  status=$?
  if [ "$status" != "$expected_status" ] || [ "$(cat err.txt)" != "$expected_err" ]; then
    echo "FAIL: ostra2svg $*: status $status (expected $expected_status), stderr:"
    cat err.txt
    echo "expected: $expected_err"
    failed=$((failed + 1))
  fi
}
# only_files LIST: the folder holds exactly these files (besides out.txt and err.txt).
only_files() {
  local found
  found=$(ls | grep -vx -e out.txt -e err.txt | tr '\n' ' ')
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
grep -q '^Usage: ostra2svg DRAWING.ost PICTURE.svg$' out.txt || { echo "FAIL: --help text"; failed=$((failed + 1)); }
run 0 "" --version
[ "$(head -n 1 out.txt)" = "ostra2svg (tsm2ostra) $version" ] || { echo "FAIL: --version: $(head -n 1 out.txt)"; failed=$((failed + 1)); }
run 2 "ostra2svg: missing drawing and picture file names
$try"
run 2 "ostra2svg: missing picture file name after 'good.ost'
$try" good.ost
run 2 "ostra2svg: too many arguments: 'c'
$try" good.ost a.svg c
run 2 "ostra2svg: unknown option '-x'
$try" -x good.ost a.svg
run 2 "ostra2svg: cannot read 'none.ost': No such file or directory" none.ost a.svg
run 2 "ostra2svg: cannot read '.': Is a directory" . a.svg
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

# A folder that can't be written to (not for root, who may write anywhere).
if [ "$(id -u)" != 0 ]; then
  mkdir locked && chmod a-w locked
  run 2 "ostra2svg: cannot write 'locked/a.svg': Permission denied" good.ost locked/a.svg
fi

echo "ostra2svg command line: $((count - failed)) of $count checks passed"
[ $failed = 0 ]
