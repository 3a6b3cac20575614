#!/usr/bin/env bash
# Checks that the pictures are well-formed XML (xmllint) and that an SVG renderer draws them
# (rsvg-convert): every picture in the gallery and the format reference, and the picture of
# every golden test's drawing. A golden drawing that uses a point it never defined (a line
# or face whose vertex numbers go beyond its points) has no picture: it must be refused with
# the message naming that point, which must indeed be undefined up to that line.
# Usage: preview/render_pictures.sh OSTRA2SVG SOURCE_DIR
set -u
program=$1
source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
rendered=0
refused=0

# render PICTURE: well-formed, and drawn into a PNG that isn't empty.
render() {
  if ! xmllint --noout "$1" || ! rsvg-convert -o "$work/out.png" "$1" || [ ! -s "$work/out.png" ]; then
    echo "FAIL $1: not well-formed, or not drawn"
    failed=$((failed + 1))
  else
    rendered=$((rendered + 1))
  fi
}

for picture in "$source"/examples/*.svg "$source"/docs/pictures/*.svg; do
  [ -f "$picture" ] && render "$picture"
done

for drawing in "$source"/tests/golden/*/expected.ost; do
  name=$(basename "$(dirname "$drawing")")
  rm -f "$work/golden.svg"
  "$program" "$drawing" "$work/golden.svg" 2>"$work/err.txt"
  status=$?
  if [ $status = 0 ]; then
    render "$work/golden.svg"
    continue
  fi
  message=$(cat "$work/err.txt")
  pattern="^ostra2svg: $drawing:([0-9]+): undefined point '([^']*)'\$"
  if [ $status != 1 ] || ! [[ $message =~ $pattern ]]; then
    echo "FAIL $name: status $status: $message"; failed=$((failed + 1)); continue
  fi
  line=${BASH_REMATCH[1]}
  point=${BASH_REMATCH[2]}
  if head -n $((line - 1)) "$drawing" |
       awk -v p="$point" '$1 ~ /^(point|midpoint|translate|towards)$/ && $2 == p { found = 1 } END { exit !found }'; then
    echo "FAIL $name: '$point' is defined before line $line"; failed=$((failed + 1))
  elif [ -e "$work/golden.svg" ]; then
    echo "FAIL $name: a picture was left behind"; failed=$((failed + 1))
  else
    refused=$((refused + 1))
  fi
done
echo "rendered $rendered pictures; refused $refused golden drawings for an undefined point; $failed failed"
[ $rendered -gt 0 ] && [ $failed = 0 ]
