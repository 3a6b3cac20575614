#!/usr/bin/env bash
# Makes the Debian packages as a distribution would: configures a build folder of its own
# for /usr with Debian's hardening flags (dpkg-buildflags with hardening=+all), builds it and
# runs cpack -G DEB, which makes tsm2ostra, libtsm2ostra2 and libtsm2ostra-dev. Then prints
# each package's metadata and contents, fails on any lintian --pedantic error, warning or
# hardening tag and on any compile or link that blhc finds without the flags, runs the
# packaged programs on the packaged examples, and builds a C program against the library
# packages unpacked into a scratch root. Needs dpkg-dev, lintian, blhc and pkgconf.
# Usage: tools/package.sh [BUILD_DIR]   (default: build-package)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-package}
fail() { echo "FAIL: $*"; exit 1; }

export DEB_BUILD_MAINT_OPTIONS=hardening=+all
flags() { dpkg-buildflags --get "$1"; }
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DTSM2OSTRA_TESTS=OFF \
  -DTSM2OSTRA_WERROR=ON -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_VERBOSE_MAKEFILE=ON \
  -DCMAKE_CXX_FLAGS="$(flags CPPFLAGS) $(flags CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(flags LDFLAGS)" -DCMAKE_SHARED_LINKER_FLAGS="$(flags LDFLAGS)" \
  >/dev/null
# The whole build, logged for blhc, which reads a dpkg-buildpackage log from the line naming
# the host architecture on.
arch=$(dpkg-architecture -qDEB_HOST_ARCH)
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
{
  echo "dpkg-buildpackage: info: host architecture $arch"
  cmake --build "$build" -j2 --clean-first 2>&1
} >"$build/build.log" || { cat "$build/build.log"; fail "the build failed"; }
rm -f "$build"/*.deb
(cd "$build" && cpack -G DEB >/dev/null)

version=$(dpkg-parsechangelog -l packaging/debian/changelog -S Version)
programs=$build/tsm2ostra_${version}_$arch.deb
runtime=$build/libtsm2ostra2_${version}_$arch.deb
development=$build/libtsm2ostra-dev_${version}_$arch.deb
for deb in "$programs" "$runtime" "$development"; do
  [ -f "$deb" ] || fail "cpack made no $(basename "$deb")"
  echo "== $(basename "$deb")"
  dpkg-deb --info "$deb"
  dpkg-deb --contents "$deb"
done
# The programs link the static library; the development files fit this shared library only.
! dpkg-deb -f "$programs" Depends | grep -q libtsm2ostra || fail "tsm2ostra depends on the library"
[ "$(dpkg-deb -f "$development" Depends)" = "libtsm2ostra2 (= $version)" ] ||
  fail "libtsm2ostra-dev depends on: $(dpkg-deb -f "$development" Depends)"

# No lintian error, warning or pedantic tag, no overrides, and none of the hardening tags
# (lintian tells those at the information level).
echo "== lintian --pedantic -I"
lintian --pedantic -I "$programs" "$runtime" "$development" 2>&1 |
  grep -v '^running with root privileges' >"$build/lintian.log" || true
cat "$build/lintian.log"
if grep -E '^(E|W|P|O): |^I: [^ ]+ hardening-' "$build/lintian.log"; then
  fail "lintian reports the tags above"
fi
# Every compile and link had the flags, and the binaries show them.
blhc --bindnow "$build/build.log" || fail "blhc finds compiles or links without the flags"
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
for deb in "$programs" "$runtime" "$development"; do dpkg-deb -x "$deb" "$root"; done
lib=$root/usr/lib/$multiarch
for binary in "$root"/usr/bin/{tsm2ostra,tsmcheck,ostra2svg} "$lib/libtsm2ostra.so.2"; do
  readelf -d "$binary" | grep -q BIND_NOW || fail "$binary is not linked with -z now"
  readelf -l "$binary" | grep -q GNU_RELRO || fail "$binary is not linked with -z relro"
done

# The programs, from their package alone.
doc=$root/usr/share/doc/tsm2ostra
bash tests/run_examples.sh "$root/usr/bin/tsm2ostra" "$doc/examples"
"$root/usr/bin/tsmcheck" -q "$doc"/examples/*.tsm || fail "the packaged tsmcheck finds faults"
"$root/usr/bin/ostra2svg" --fit "$doc/examples/model.ost" "$root/model.svg"
cmp "$root/model.svg" "$doc/examples/model.svg" || fail "the packaged ostra2svg draws otherwise"
for page in "$root"/usr/share/man/man1/*.gz "$root"/usr/share/man/man3/*.gz; do
  gzip -t "$page" || fail "$page is not gzip-compressed"
done
gzip -dc "$root/usr/share/man/man1/tsm2ostra.1.gz" | grep -qF /usr/share/doc/tsm2ostra/formats.md ||
  fail "the packaged tsm2ostra(1) does not name /usr/share/doc/tsm2ostra/formats.md"

# A C program built against the development package through pkg-config, its .pc file found
# where Debian keeps it, and run with the shared library of libtsm2ostra2; and the same
# program linked with the static library, which the packaging strips.
export PKG_CONFIG_PATH=$lib/pkgconfig PKG_CONFIG_LIBDIR=
[ "$(pkg-config --modversion tsm2ostra)" = "${version%-*}" ] || fail "pkg-config names another version"
client=tests/c_client/client.c
cc -std=c99 -Wall -Wextra -Werror -pedantic -o "$root/client" "$client" \
  $(pkg-config --cflags --libs tsm2ostra)
cc -std=c99 -o "$root/static-client" "$client" $(pkg-config --cflags tsm2ostra) \
  "$lib/libtsm2ostra.a" -lstdc++ -lm
! readelf -d "$root/static-client" | grep -q libtsm2ostra || fail "static-client needs the shared library"
for program in "$root/client" "$root/static-client"; do
  for model in "$doc"/examples/*.tsm; do
    name=$(basename "$program") model_name=$(basename "$model")
    LD_LIBRARY_PATH=$lib "$program" "$model" "$root/drawing.ost" >/dev/null ||
      fail "$name on $model_name"
    cmp -s "$root/drawing.ost" "${model%.tsm}.ost" || fail "$name drew $model_name otherwise"
  done
done
echo "package: $(basename "$programs"), $(basename "$runtime") and $(basename "$development")" \
     "pass lintian and blhc; the programs and a C client work from them"
