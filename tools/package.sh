#!/usr/bin/env bash
# Makes the Debian package of a build tree (cpack -G DEB), prints its metadata and contents,
# and runs the packaged program on the packaged examples, unpacked into a scratch folder.
# Usage: tools/package.sh [BUILD_DIR]   (default: build, which must be configured and built)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
rm -f "$build"/tsm2ostra_*.deb
(cd "$build" && cpack -G DEB)
deb=$(ls "$build"/tsm2ostra_*.deb)
dpkg-deb --info "$deb"
dpkg-deb --contents "$deb"
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
bash tests/run_examples.sh "$root/usr/bin/tsm2ostra" "$root/usr/share/doc/tsm2ostra/examples"
for page in tsm2ostra.1 tsmcheck.1 ostra2svg.1; do
  [ -f "$root/usr/share/man/man1/$page" ] || { echo "FAIL: $page is not packaged"; exit 1; }
done
"$root/usr/bin/tsmcheck" "$root"/usr/share/doc/tsm2ostra/examples/*.tsm >/dev/null ||
  { echo "FAIL: the packaged tsmcheck finds faults in the examples"; exit 1; }
"$root/usr/bin/ostra2svg" "$root/usr/share/doc/tsm2ostra/examples/model.ost" "$root/model.svg"
cmp "$root/model.svg" "$root/usr/share/doc/tsm2ostra/examples/model.svg" ||
  { echo "FAIL: the packaged ostra2svg draws another picture"; exit 1; }
echo "package: $(basename "$deb") holds a working tsm2ostra, tsmcheck and ostra2svg"
