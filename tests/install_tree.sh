#!/usr/bin/env bash
# Installs a build tree into a scratch prefix and checks it: each program with a manual page
# in docs/ (docs/NAME.1) lands in bin/ and its page, unchanged, in share/man/man1/; the
# README, LICENSE, format reference and examples land unchanged in share/doc/tsm2ostra/; and
# the installed program converts every installed example into the drawing beside it.
set -u
build=$1
source=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
same() { cmp -s "$prefix/$1" "$source/$2" || fail "$1 is missing or differs from $2"; }

cmake --install "$build" --prefix "$prefix" >"$prefix/install.log" 2>&1 ||
  { cat "$prefix/install.log"; fail "cmake --install failed"; }
programs=""
for page in "$source"/docs/*.1; do
  name=$(basename "$page" .1)
  [ -x "$prefix/bin/$name" ] || fail "bin/$name is missing or not executable"
  same "share/man/man1/$name.1" "docs/$name.1"
  programs="$programs bin/$name"
done
doc=share/doc/tsm2ostra
same "$doc/README.md" README.md
same "$doc/LICENSE" LICENSE
same "$doc/formats.md" docs/formats.md
for model in "$source"/examples/*; do
  same "$doc/examples/$(basename "$model")" "examples/$(basename "$model")"
done

bash "$source/tests/run_examples.sh" "$prefix/bin/tsm2ostra" "$prefix/$doc/examples" ||
  fail "the installed program does not convert the installed examples"
echo "install_tree:$programs, their manual pages and $doc/ installed; examples converted"
