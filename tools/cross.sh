#!/usr/bin/env bash
# Builds the program alone (no unit tests) for another system or processor with a toolchain
# file from cmake/, and runs the golden, example and same-file tests with it under wine64
# (Windows) or qemu-user (i686, aarch64). The drawings must be the x86-64 bytes. For Windows
# it also builds ostra2svg and runs its command-line and picture tests, converts a model with
# names in several scripts, and makes and checks the zip of the programs
# (tools/windows_zip.sh).
# Usage: tools/cross.sh windows|i686|aarch64 [BUILD_DIR]   (default build dir: build-TARGET)
set -euo pipefail
cd "$(dirname "$0")/.."
target=${1:?usage: tools/cross.sh windows|i686|aarch64 [BUILD_DIR]}
build=${2:-build-$target}
case $target in
  windows) toolchain=mingw-w64 program=tsm2ostra.exe emulator=/usr/lib/wine/wine64
    targets="tsm2ostra ostra2svg tsmcheck" ;;
  i686) toolchain=i686-linux-gnu program=tsm2ostra emulator=qemu-i386 targets=tsm2ostra ;;
  aarch64) toolchain=aarch64-linux-gnu program=tsm2ostra emulator=qemu-aarch64 targets=tsm2ostra ;;
  *) echo "unknown target: $target" >&2; exit 2 ;;
esac

mkdir -p "$build"
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/$toolchain.cmake -DCMAKE_BUILD_TYPE=Release \
  -DTSM2OSTRA_TESTS=OFF -DTSM2OSTRA_WERROR=ON >"$build/configure.log" 2>&1 ||
  { cat "$build/configure.log"; exit 1; }
cmake --build "$build" --target $targets -j2
file "$build/$program"

if [ "$target" = windows ]; then
  # A wine prefix of this build's own, made on the first run; wine's notes are silenced.
  export WINEPREFIX=$PWD/$build/wine WINEDEBUG=-all
  trap '/usr/lib/wine/wineserver -k 2>/dev/null || true' EXIT
fi
export TSM2OSTRA_EMULATOR=$emulator
bash tests/run_golden.sh "$PWD/$build/$program" tests/golden
bash tests/run_examples.sh "$PWD/$build/$program" examples
bash tests/same_file.sh "$PWD/$build/$program" examples
if [ "$target" = windows ]; then
  bash tests/unicode_names.sh "$PWD/$build/$program" examples
  version=$(sed -n 's/^project(tsm2ostra VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
  bash preview/command_line_test.sh "$PWD/$build/preview/ostra2svg.exe" "$version"
  bash preview/check_pictures.sh "$PWD/$build/preview/ostra2svg.exe" docs/pictures --fit examples
  tools/windows_zip.sh "$build"
fi
