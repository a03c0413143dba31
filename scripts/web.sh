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

build() {
  bash "$root/scripts/setup.sh"
  # emcc's JavaScript optimiser needs Debian's acorn, which a node from elsewhere does not look for.
  export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
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
