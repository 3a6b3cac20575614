#!/usr/bin/env bash
# Draws every drawing (.ost) in the given folders and checks that the picture beside it
# (.svg) holds exactly the program's output; prints a diff for a picture that drifted. The
# folders after --fit are drawn with --fit (the gallery shows each drawing alone). After a
# change to the pictures' look, redraw them with
#   for d in docs/pictures/*.ost; do build/preview/ostra2svg "$d" "${d%.ost}.svg"; done
#   for d in examples/*.ost; do build/preview/ostra2svg --fit "$d" "${d%.ost}.svg"; done
# TSM2OSTRA_EMULATOR, if set, is the command that runs the program (wine for Windows).
# Usage: preview/check_pictures.sh OSTRA2SVG FOLDER... [--fit FOLDER...]
set -u
program=$1
shift
read -r -a emulator <<<"${TSM2OSTRA_EMULATOR:-}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
count=0
options=()
for folder in "$@"; do
  if [ "$folder" = --fit ]; then options=(--fit); continue; fi
  for drawing in "$folder"/*.ost; do
    [ -f "$drawing" ] || continue
    picture=${drawing%.ost}.svg
    count=$((count + 1))
    if ! "${emulator[@]}" "$program" "${options[@]}" "$drawing" "$work/out.svg"; then
      echo "FAIL $drawing: ostra2svg failed"; failed=$((failed + 1))
    elif [ ! -f "$picture" ]; then
      echo "FAIL $picture is missing"; failed=$((failed + 1))
    elif ! cmp -s "$work/out.svg" "$picture"; then
      echo "FAIL $picture differs from the program's output"
      diff "$picture" "$work/out.svg" | head -20
      failed=$((failed + 1))
    fi
  done
done
echo "pictures: $((count - failed)) of $count match their drawings"
[ $count -gt 0 ] && [ $failed = 0 ]
