#!/usr/bin/env bash
# Builds the web page: the converter and the ostra2svg renderer compiled to WebAssembly with
# emscripten, and put together (web/assemble.mjs) into OUTDIR/index.html, which carries
# everything inline and works from file://, and OUTDIR/tsm2ostra.mjs, the module for Node and
# for pages served over http. Needs only emcc (Debian: apt-get install -y emscripten
# node-acorn), and the node that emcc itself runs on.
# Usage: web/build.sh OUTDIR
set -euo pipefail

if [ $# -ne 1 ]; then
  echo "usage: web/build.sh OUTDIR" >&2
  exit 2
fi
root="$(cd "$(dirname "$0")/.." && pwd)"
mkdir -p "$1"
out="$(cd "$1" && pwd)"
# Debian's emcc finds its JavaScript optimizer (acorn) only through NODE_PATH.
export NODE_PATH="${NODE_PATH:+$NODE_PATH:}/usr/share/nodejs"
emcc="${EMCC:-emcc}"
node="${NODE:-node}"
command -v "$emcc" >/dev/null || { echo "web/build.sh: emcc not found (apt-get install -y emscripten node-acorn)" >&2; exit 1; }

# The library's, the scanner's, the translation's and the renderer's sources: every file but
# the programs' entry points, the renderer's file handling, the tests, the fuzz targets and
# the Windows-only text conversions (wide_text.cc).
sources=()
for file in "$root"/driver/*.cc "$root"/scan/*.cc "$root"/translate/*.cc "$root"/preview/*.cc; do
  case "$(basename "$file")" in
    main.cc | picture_file.cc | wide_text.cc | *_test.cc | *_fuzzer.cc) ;;
    *) sources+=("$file") ;;
  esac
done
sources+=("$root/web/bridge.cc")

# The same arithmetic as the native build (no fused multiply-add, no fast-math), no
# exceptions: the renderer running out of memory ends the instance, which engine.js replaces.
objects="$out/.objects"
rm -rf "$objects"
mkdir -p "$objects"
cxxflags=(-std=c++17 -O2 -DNDEBUG -fno-exceptions -ffp-contract=off -fno-fast-math
          -Wall -Wextra -Werror -I"$root" -I"$root/include")
export emcc objects root
# Two at a time; each object is named after its folder and file (preview_renderer.o).
printf '%s\0' "${sources[@]}" |
  xargs -0 -n 1 -P 2 bash -c 'file="${@: -1}"; name="${file#"$root"/}"; name="${name//\//_}"
    exec "$emcc" "${@:1:$#-1}" -c "$file" -o "$objects/${name%.cc}.o"' _ "${cxxflags[@]}" || {
  echo "web/build.sh: compiling failed" >&2
  exit 1
}

# A module factory (createTsm2ostraEngine) for pages and workers; Node 20 loads it too. The
# wasm is handed to it as bytes (engine.js), so that nothing is ever fetched.
"$emcc" "$objects"/*.o -o "$objects/engine.js" -O2 \
  -sENVIRONMENT=web,worker -sMODULARIZE=1 -sEXPORT_NAME=createTsm2ostraEngine \
  -sALLOW_MEMORY_GROWTH=1 -sMAXIMUM_MEMORY=2GB -sFILESYSTEM=0 -sDYNAMIC_EXECUTION=0 \
  -sEXPORTED_FUNCTIONS=_web_convert,_web_draw,_web_release,_web_version

"$node" "$root/web/assemble.mjs" "$root" "$objects/engine.js" "$objects/engine.wasm" "$out"
rm -rf "$objects"
echo "web/build.sh: wrote $out/index.html and $out/tsm2ostra.mjs"
