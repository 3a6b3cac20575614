#!/usr/bin/env bash
# Installs a build tree into a scratch prefix and uses the library from there as other
# programs do: a C program built through the CMake package and through pkg-config converts
# every example from memory, through a read function and from files; the manual page's
# example compiles and prints what the page says; and the shared library exports only the
# interface, under its SONAME. Usage: tests/c_client.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
source=$(cd "$2" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
libdir=$(dirname "$(find "$prefix" -name 'libtsm2ostra.so.2' | head -n 1)")
[ -n "$libdir" ] || fail "libtsm2ostra.so.2 is not installed"

# The shared library: its SONAME, only tsm2ostra_* exported, and no text relocations.
soname=$(readelf -d "$libdir/libtsm2ostra.so.2" | sed -n 's/.*(SONAME).*\[\(.*\)\]/\1/p')
[ "$soname" = libtsm2ostra.so.2 ] || fail "SONAME is '$soname'"
exported=$(nm -D --defined-only "$libdir/libtsm2ostra.so.2" | awk '$2 == "T" {print $3}' |
           sed 's/@.*//' | sort | tr '\n' ' ')
[ "$exported" = "tsm2ostra_convert_file tsm2ostra_convert_memory tsm2ostra_convert_stream tsm2ostra_describe tsm2ostra_explain tsm2ostra_status_name tsm2ostra_version " ] ||
  fail "the shared library exports: $exported"

# Through the CMake package, in a plain C project.
cmake -S "$source/tests/c_client" -B "$work/cmake-build" -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$work/cmake-build" >/dev/null
# Through pkg-config, with the prefix found from the .pc file's own place.
export PKG_CONFIG_PATH=$libdir/pkgconfig
[ "$(pkg-config --modversion tsm2ostra)" = 2.00 ] || fail "pkg-config names another version"
cc -std=c99 -Wall -Wextra -Werror -pedantic -o "$work/pc-client" "$source/tests/c_client/client.c" \
  $(pkg-config --cflags --libs tsm2ostra)
for client in "$work/cmake-build/client" "$work/pc-client"; do
  for model in "$source"/examples/*.tsm; do
    LD_LIBRARY_PATH=$libdir "$client" "$model" "$work/drawing.ost" >/dev/null ||
      fail "$client on $(basename "$model")"
    cmp -s "$work/drawing.ost" "${model%.tsm}.ost" || fail "$client drew $(basename "$model") otherwise"
  done
done

# The manual page's example, taken from the page, and the output the page shows.
page=$source/docs/tsm2ostra.3
awk '/^\.EX/ {k++; inside=1; next} /^\.EE/ {inside=0; next} inside && k == 1' "$page" |
  sed 's/\\e/\\/g; s/\\-/-/g' >"$work/example.c"
awk '/^\.EX/ {k++; inside=1; next} /^\.EE/ {inside=0; next} inside && k == 2' "$page" |
  sed 's/\\e/\\/g; s/\\-/-/g' >"$work/expected.txt"
cc -std=c99 -Wall -Wextra -Werror -o "$work/example" "$work/example.c" $(pkg-config --cflags --libs tsm2ostra)
LD_LIBRARY_PATH=$libdir "$work/example" >"$work/printed.txt"
cmp -s "$work/printed.txt" "$work/expected.txt" || {
  diff "$work/expected.txt" "$work/printed.txt" || true
  fail "the manual page's example prints otherwise"
}
echo "c_client: the installed library works from C through find_package and pkg-config"
