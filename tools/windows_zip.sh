#!/usr/bin/env bash
# Makes the Windows download of a MinGW-w64 build tree: tsm2ostra-VERSION-windows-x86_64.zip,
# one folder holding every program (.exe, without its symbols), the manual pages as plain
# text, the README and the licence, the text files with CR-LF line ends. Then checks its
# listing, and runs the programs unpacked from it (under wine64 when TSM2OSTRA_EMULATOR says
# so, as tools/cross.sh windows does).
# Usage: tools/windows_zip.sh [BUILD_DIR]   (default: build-windows, built with every program)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-windows}
read -r -a emulator <<<"${TSM2OSTRA_EMULATOR:-}"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
name=tsm2ostra-$version-windows-x86_64
programs="tsm2ostra.exe preview/ostra2svg.exe tsmcheck/tsmcheck.exe"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/$name"
for program in $programs; do
  # Without the symbols, which only a debugger wants: a third of the size.
  x86_64-w64-mingw32-strip -o "$work/$name/$(basename "$program")" "$build/$program"
  # Plain text: no bold or underlining by overstrike, no hyphenated words.
  page=$(basename "$program" .exe)
  groff -man -t -Tascii -P-cbou -rHY=0 "docs/$page.1" >"$work/$name/$page.txt"
done
cp README.md "$work/$name/README.md"
cp LICENSE "$work/$name/LICENSE.txt"
# Every file dated by the last commit (in UTC), and no extra fields of this machine's.
export TZ=UTC0
stamp=$(git log -1 --format=%cd --date=format-local:%Y%m%d%H%M.%S 2>/dev/null || echo 202601010000)
find "$work/$name" -exec touch -t "$stamp" {} +
zip_file=$PWD/$build/$name.zip
rm -f "$zip_file"
(cd "$work" && zip -q -X -D -l "$zip_file" "$name"/*.txt "$name"/*.md &&
  zip -q -X -D "$zip_file" "$name"/*.exe)

unzip -l "$zip_file"
listed=$(unzip -Z1 "$zip_file" | sort)
wanted=$(for f in LICENSE.txt README.md ostra2svg.exe ostra2svg.txt tsm2ostra.exe tsm2ostra.txt \
    tsmcheck.exe tsmcheck.txt; do
  echo "$name/$f"; done)
[ "$listed" = "$wanted" ] || { echo "FAIL: the zip holds"; echo "$listed"; exit 1; }
unpacked=$work/unpacked
unzip -q "$zip_file" -d "$unpacked"
grep -q $'\r$' "$unpacked/$name/README.md" || { echo "FAIL: README.md has no CR-LF ends"; exit 1; }
cp examples/model.tsm "$unpacked/"
(cd "$unpacked" && "${emulator[@]}" "$name/tsm2ostra.exe" model.tsm model.ost >/dev/null &&
  "${emulator[@]}" "$name/ostra2svg.exe" --fit model.ost model.svg &&
  "${emulator[@]}" "$name/tsmcheck.exe" model.tsm >check.txt)
grep -q "^model.tsm: converts cleanly" "$unpacked/check.txt" ||
  { echo "FAIL: the zipped tsmcheck says"; cat "$unpacked/check.txt"; exit 1; }
cmp "$unpacked/model.ost" examples/model.ost && cmp "$unpacked/model.svg" examples/model.svg ||
  { echo "FAIL: the zipped programs draw otherwise"; exit 1; }
echo "windows zip: $build/$name.zip holds working programs, their manual pages and the README"
