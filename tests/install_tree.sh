#!/usr/bin/env bash
# Installs a build tree into a scratch prefix and checks it: each program with a manual page
# in docs/ (docs/NAME.1) lands in bin/ and its page in share/man/man1/, where it names the
# installed documents: the page of docs/ with /usr/local/share/doc/tsm2ostra replaced by
# PREFIX/share/doc/tsm2ostra, and nothing else changed; the README, LICENSE, format reference
# and examples land unchanged in share/doc/tsm2ostra/; and the installed program converts
# every installed example into the drawing beside it.
set -u
build=$1
source=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
same() { cmp -s "$prefix/$1" "$source/$2" || fail "$1 is missing or differs from $2"; }

cmake --install "$build" --prefix "$prefix" >"$prefix/install.log" 2>&1 ||
  { cat "$prefix/install.log"; fail "cmake --install failed"; }
doc=share/doc/tsm2ostra
# The installed folder as the pages write it (a minus sign as \-), and as sed's replacement.
doc_roff=$(printf '%s' "$prefix/$doc" | sed 's/-/\\-/g')
doc_sed=$(printf '%s' "$doc_roff" | sed 's/[\\|&]/\\&/g')
programs=""
for page in "$source"/docs/*.1; do
  name=$(basename "$page" .1)
  [ -x "$prefix/bin/$name" ] || fail "bin/$name is missing or not executable"
  installed=$prefix/share/man/man1/$name.1
  sed "s|/usr/local/share/doc/tsm2ostra|$doc_sed|g" "$page" | cmp -s - "$installed" ||
    fail "share/man/man1/$name.1 is missing, or differs from docs/$name.1 by more than its paths"
  programs="$programs bin/$name"
done
grep -qF "$doc_roff/formats.md" "$prefix/share/man/man1/tsm2ostra.1" ||
  fail "share/man/man1/tsm2ostra.1 does not name the installed formats.md"
same "$doc/README.md" README.md
same "$doc/LICENSE" LICENSE
same "$doc/formats.md" docs/formats.md
for model in "$source"/examples/*; do
  same "$doc/examples/$(basename "$model")" "examples/$(basename "$model")"
done

bash "$source/tests/run_examples.sh" "$prefix/bin/tsm2ostra" "$prefix/$doc/examples" ||
  fail "the installed program does not convert the installed examples"
echo "install_tree:$programs, their manual pages and $doc/ installed; examples converted"
