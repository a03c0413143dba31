#!/usr/bin/env bash
# The programs in a web browser: builds the WebAssembly build (Debian's Emscripten) into the
# static site build-web/, or serves that site on this machine.
#   scripts/web.sh                build build-web/ (the CMake tree is build-web-cmake/)
#   scripts/web.sh serve [port]   build if needed, then serve build-web/ on localhost (default
#                                 port 8080) with the two headers that threads in WebAssembly need
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
site="$root/build-web"
tree="$root/build-web-cmake"
programs=(thicklens magnifier flashlight mirrorrays lightbeam shadow)

freetype="$tree/freetype"

# FreeType for WebAssembly, from Debian's source package of the release this machine runs (so the
# browser rasterises as the desktop's library does), built once into the web tree. Only what
# TrueType outlines need: no compression, PNG or shaping libraries.
build_freetype() {
  local lib="$freetype/install/lib/libfreetype.a"
  [ -f "$lib" ] && return 0
  rm -rf "$freetype"
  mkdir -p "$freetype/apt/lists/partial"
  local codename
  codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
  echo "deb-src http://deb.debian.org/debian $codename main" >"$freetype/apt/sources.list"
  # A private list of sources and cache: the machine's apt configuration and state are left alone.
  local apt=(-o Dir::Etc::sourcelist="$freetype/apt/sources.list" -o Dir::Etc::sourceparts=/nonexistent
             -o Dir::State::Lists="$freetype/apt/lists" -o Dir::Cache="$freetype/apt/cache")
  apt-get "${apt[@]}" update >/dev/null
  (cd "$freetype/apt" && apt-get "${apt[@]}" source --download-only freetype >/dev/null)
  dpkg-source --no-check -x "$freetype"/apt/freetype_*.dsc "$freetype/src" >/dev/null
  cat >"$freetype/src/include/freetype/config/ftmodule.h" <<'MODULES'
FT_USE_MODULE( FT_Driver_ClassRec, tt_driver_class )
FT_USE_MODULE( FT_Module_Class, sfnt_module_class )
FT_USE_MODULE( FT_Renderer_Class, ft_raster1_renderer_class )
FT_USE_MODULE( FT_Renderer_Class, ft_smooth_renderer_class )
MODULES
  emcmake cmake -S "$freetype/src" -B "$freetype/build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_FLAGS=-pthread \
    -DCMAKE_INSTALL_PREFIX="$freetype/install" -DBUILD_SHARED_LIBS=OFF -DFT_DISABLE_ZLIB=ON \
    -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON >/dev/null
  cmake --build "$freetype/build" -j"$(nproc)" --target install >/dev/null
  [ -f "$lib" ]
}

build() {
  bash "$root/scripts/setup.sh"
  # emcc's JavaScript optimiser needs Debian's acorn, which a node from elsewhere does not look for.
  export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
  build_freetype
  emcmake cmake -S "$root" -B "$tree" -DCMAKE_BUILD_TYPE=Release -DPLOTVANE_WEB_SITE="$site" >/dev/null
  cmake --build "$tree" -j"$(nproc)" --target "${programs[@]}" "$@"
}

built() {
  for p in "${programs[@]}"; do [ -f "$site/$p.wasm" ] && [ -f "$site/$p.html" ] || return 1; done
}

case "${1:-build}" in
  build) shift $(($# > 0 ? 1 : 0)); build "$@" ;;
  serve)
    port=${2:-8080}
    built || build
    echo "Serving $site at http://localhost:$port/ (Ctrl+C stops it)"
    exec python3 "$root/scripts/web_server.py" "$site" "$port"
    ;;
  *) echo "usage: $0 [build | serve [port]]" >&2; exit 2 ;;
esac
