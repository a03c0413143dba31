#!/usr/bin/env bash
# Makes the packages of the library and the programs with CPack:
#   scripts/package.sh [deb] [windows]      (both by default)
# deb:     a Debian package made in the native build tree: build/plotvane_<version>_<arch>.deb
#          (install it with: sudo apt install ./build/plotvane_<version>_<arch>.deb)
# windows: a zip per target made with mingw-w64: build-win/<arch>/plotvane-<version>-windows-<arch>.zip
#          (the six programs and the example as .exe, libplotvane.a, the header, the docs)
# Prints the path of each package it made, one a line, last.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
installed=(Plotvane thicklens magnifier flashlight mirrorrays lightbeam shadow mousetrail)
made=()

package_deb() {
  local dir="$root/build"
  cmake -S "$root" -B "$dir" >/dev/null
  cmake --build "$dir" -j"$jobs" --target "${installed[@]}" PlotvaneShared PlotvaneStatic >"$dir.package.log" 2>&1 ||
    { tail -n 40 "$dir.package.log"; return 1; }
  rm -f "$dir"/plotvane_*.deb
  (cd "$dir" && cpack -G DEB >>"$dir.package.log" 2>&1) || { tail -n 40 "$dir.package.log"; return 1; }
  made+=("$(ls "$dir"/plotvane_*.deb)")
}

package_windows() {
  local arch dir
  for arch in x86_64 i686; do
    dir="$root/build-win/$arch"
    local toolchain=()  # a toolchain counts only when a build directory is first made
    [ -f "$dir/CMakeCache.txt" ] || toolchain=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$arch.cmake" -DPLOTVANE_TESTS=OFF)
    cmake -S "$root" -B "$dir" "${toolchain[@]}" >/dev/null
    cmake --build "$dir" -j"$jobs" --target "${installed[@]}" >"$dir.package.log" 2>&1 ||
      { tail -n 40 "$dir.package.log"; return 1; }
    rm -f "$dir"/plotvane-*.zip
    (cd "$dir" && cpack -G ZIP >>"$dir.package.log" 2>&1) || { tail -n 40 "$dir.package.log"; return 1; }
    made+=("$(ls "$dir"/plotvane-*.zip)")
  done
}

kinds=("$@")
((${#kinds[@]})) || kinds=(deb windows)
bash "$root/scripts/setup.sh"
for k in "${kinds[@]}"; do
  case $k in
    deb) package_deb ;;
    windows) package_windows ;;
    *) echo "package.sh: unknown package kind $k (deb, windows)" >&2; exit 2 ;;
  esac
done
printf '%s\n' "${made[@]}"
