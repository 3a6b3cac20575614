#!/usr/bin/env bash
# Installs a build tree into a scratch prefix, checks that the executable and the manual page
# land in bin/ and share/man/man1/, and that the installed program converts the main example.
set -u
build=$1
source=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

cmake --install "$build" --prefix "$prefix" >"$prefix/install.log" 2>&1 ||
  { cat "$prefix/install.log"; fail "cmake --install failed"; }
[ -x "$prefix/bin/tsm2ostra" ] || fail "bin/tsm2ostra is missing or not executable"
[ -f "$prefix/share/man/man1/tsm2ostra.1" ] || fail "share/man/man1/tsm2ostra.1 is missing"
cmp -s "$prefix/share/man/man1/tsm2ostra.1" "$source/docs/tsm2ostra.1" ||
  fail "the installed manual page differs from docs/tsm2ostra.1"

(cd "$source/examples" && "$prefix/bin/tsm2ostra" model.tsm "$prefix/model.ost" >"$prefix/console.txt")
status=$?
[ $status = 0 ] || { cat "$prefix/console.txt"; fail "the installed program exited with $status"; }
[ "$(tail -n 1 "$prefix/console.txt")" = "File 'model.tsm' successfully converted." ] ||
  fail "unexpected console text: $(tail -n 1 "$prefix/console.txt")"
cmp -s "$prefix/model.ost" "$source/examples/model.ost" ||
  fail "the installed program's drawing differs from examples/model.ost"
echo "install_tree: bin/tsm2ostra and share/man/man1/tsm2ostra.1 installed; example converted"
