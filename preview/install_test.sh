#!/usr/bin/env bash
# Installs a build tree into a scratch prefix and checks that ostra2svg lands in bin/ beside
# tsm2ostra, its manual page in share/man/man1/, and that the installed program draws the
# main example's picture.
# Usage: preview/install_test.sh BUILD_DIR SOURCE_DIR
set -u
build=$1
source=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

cmake --install "$build" --prefix "$prefix" >"$prefix/install.log" 2>&1 ||
  { cat "$prefix/install.log"; fail "cmake --install failed"; }
[ -x "$prefix/bin/ostra2svg" ] && [ -x "$prefix/bin/tsm2ostra" ] ||
  fail "bin/ostra2svg or bin/tsm2ostra is missing"
cmp -s "$prefix/share/man/man1/ostra2svg.1" "$source/docs/ostra2svg.1" ||
  fail "share/man/man1/ostra2svg.1 is missing or differs from docs/ostra2svg.1"
"$prefix/bin/ostra2svg" "$source/examples/model.ost" "$prefix/model.svg" ||
  fail "the installed ostra2svg failed"
cmp -s "$prefix/model.svg" "$source/examples/model.svg" ||
  fail "the installed ostra2svg's picture differs from examples/model.svg"
echo "install: bin/ostra2svg and share/man/man1/ostra2svg.1 installed; example drawn"
