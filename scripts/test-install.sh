#!/usr/bin/env bash
# What a user gets from `cmake --install` and from the Debian package, tried as a user would:
# installs into a throw-away prefix, builds the template examples/own-program against it (with
# CMake and with pkg-config, shared and static) and runs it headless; checks what the shared
# library exports, that an older library refuses a program built against this one, and that a
# program without fonts or display says which is missing; makes the .deb, checks its declared
# dependencies, unpacks it and runs a program and the template from it. The native build tree
# `build` is used (and built as far as needed).
#   scripts/test-install.sh        ends with "N passed, M failed"; exit status 1 on a failure
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build"
tmp=$(mktemp -d "${TMPDIR:-/tmp}/plotvane-install.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
export PLOTVANE_HOST=headless
passed=0
failed=0

# check NAME COMMAND...: runs the command, its output kept in $tmp/NAME.log.
check() {
  local name=$1
  shift
  if "$@" >"$tmp/$name.log" 2>&1; then
    echo "PASS $name"
    passed=$((passed + 1))
  else
    echo "FAIL $name"
    sed 's/^/    /' "$tmp/$name.log" | tail -n 30
    failed=$((failed + 1))
  fi
}

prefix="$tmp/prefix"
installed() {
  cmake --build "$build" -j"$(nproc)" --target Plotvane PlotvaneShared PlotvaneStatic \
    thicklens magnifier flashlight mirrorrays lightbeam shadow mousetrail &&
    cmake --install "$build" --prefix "$prefix" || return 1
  local f
  for f in include/plotvane/plotvane.h lib/libplotvane.a lib/libplotvane.so lib/pkgconfig/plotvane.pc \
    lib/cmake/Plotvane/PlotvaneConfig.cmake share/doc/plotvane/reference.md \
    share/doc/plotvane/examples/own-program/main.cpp bin/thicklens bin/magnifier bin/flashlight \
    bin/mirrorrays bin/lightbeam bin/shadow bin/mousetrail; do
    [ -e "$prefix/$f" ] || { echo "missing: $f"; return 1; }
  done
  # Programs see the public header alone: nothing of the session or of the platform layer.
  local headers
  headers=$(cd "$prefix/include" && find . -type f | sort)
  [ "$headers" = "./plotvane/plotvane.h" ] || { echo "headers installed: $headers"; return 1; }
}

# The template as a student takes it: copied out of the installed documentation.
template() {
  local dir=$1
  rm -rf "$dir" && cp -r "$prefix/share/doc/plotvane/examples/own-program" "$dir"
}

# The template built with CMake against the prefix, and run until a frame count.
cmake_template() {
  local dir="$tmp/own-cmake"
  template "$dir" || return 1
  cmake -S "$dir" -B "$dir/build" -DCMAKE_PREFIX_PATH="$prefix" && cmake --build "$dir/build" || return 1
  # Built against the installed package, not the source tree.
  if grep -rl "$root" "$dir/build/CMakeFiles/my_optics.dir"; then echo "the build reaches into $root"; return 1; fi
  "$dir/build/my_optics" 30
}

# A program of the user's own with functions named like the platform layer's Win32 calls: they
# must neither clash with the library (static) nor replace the library's own (shared).
write_clash() {
  cat >"$1/clash.cpp" <<'EOF'
#include <cstdlib>
extern "C" void Sleep(unsigned) { std::abort(); }
extern "C" int BitBlt() { std::abort(); }
extern "C" int CreateWindowExA() { std::abort(); }
EOF
}

cmake_template_static() {
  local dir="$tmp/own-static"
  template "$dir" && write_clash "$dir" || return 1
  sed -i 's/main.cpp)/main.cpp clash.cpp)/; s/Plotvane::Plotvane)/Plotvane::PlotvaneStatic)/' "$dir/CMakeLists.txt"
  cmake -S "$dir" -B "$dir/build" -DCMAKE_PREFIX_PATH="$prefix" && cmake --build "$dir/build" || return 1
  ! readelf -d "$dir/build/my_optics" | grep -q libplotvane || { echo "linked the shared library"; return 1; }
  "$dir/build/my_optics" 30
}

pkgconfig_template() {
  local dir="$tmp/own-pkgconfig" flags
  template "$dir" && write_clash "$dir" || return 1
  flags=$(PKG_CONFIG_PATH="$prefix/lib/pkgconfig" pkg-config --cflags --libs plotvane) || return 1
  # shellcheck disable=SC2086
  g++ -std=c++20 -o "$dir/my_optics" "$dir/main.cpp" "$dir/clash.cpp" $flags -Wl,-rpath,"$prefix/lib" || return 1
  readelf -d "$dir/my_optics" | grep -q 'NEEDED.*libplotvane\.so\.[0-9]' || return 1
  "$dir/my_optics" 30
}

# The library's symbol version, PLOTVANE_<major>.<minor>, from the installed package's version.
symbol_version() {
  sed -nE 's/^set\(PACKAGE_VERSION "([0-9]+)\.([0-9]+).*/PLOTVANE_\1.\2/p' \
    "$prefix/lib/cmake/Plotvane/PlotvaneConfigVersion.cmake"
}

# The shared library exports exactly the operations that the header declares, all in the
# plotvane namespace and under the library's symbol version; it has the major version as soname.
exports() {
  local so="$prefix/lib/libplotvane.so" declared exported version major
  version=$(symbol_version)
  major=${version#PLOTVANE_}
  major=${major%%.*}
  [ -n "$version" ] || { echo "no version in the package"; return 1; }
  readelf -d "$so" | grep -q "SONAME.*\[libplotvane\.so\.$major\]" || { readelf -d "$so" | grep SONAME; return 1; }
  declared=$(grep -oE '^[A-Za-z_0-9:]+[ &*]+([A-Z][A-Za-z0-9]*)\(' "$prefix/include/plotvane/plotvane.h" |
    sed -E 's/.*[ &*]([A-Za-z0-9]+)\($/\1/' | sort -u)
  # Every defined dynamic symbol but the version's own.
  objdump -T "$so" | grep -E ' D[FO] ' | grep -v -e '\*UND\*' -e '\*ABS\*' >"$tmp/dynamic.txt"
  if grep -vF "$version " "$tmp/dynamic.txt"; then echo "exported without the library's version"; return 1; fi
  exported=$(awk '{print $NF}' "$tmp/dynamic.txt" | c++filt | sed -E 's/\(.*//')
  if grep -v '^plotvane::' <<<"$exported"; then echo "exported outside the plotvane namespace"; return 1; fi
  exported=$(sed 's/^plotvane:://' <<<"$exported" | sort -u)
  [ -n "$declared" ] && diff <(echo "$declared") <(echo "$exported")
}

# An installed library older than the one a program was built against: the loader refuses the
# program at start, naming the version it lacks.
older_library() {
  local dir="$tmp/older" out version major
  version=$(symbol_version)
  major=${version#PLOTVANE_}
  major=${major%%.*}
  mkdir -p "$dir"
  printf 'PLOTVANE_OLD { global: extern "C++" { plotvane::*; }; local: *; };\n' >"$dir/old.map"
  printf '#include <cstdint>\nnamespace plotvane { int16_t GraphError() { return 0; } }\n' >"$dir/old.cpp"
  g++ -shared -fPIC -o "$dir/libplotvane.so.$major" -Wl,-soname,libplotvane.so."$major" \
    -Wl,--version-script="$dir/old.map" "$dir/old.cpp" || return 1
  out=$(LD_LIBRARY_PATH="$dir" "$tmp/own-cmake/build/my_optics" 1 2>&1) && { echo "it ran"; return 1; }
  echo "$out"
  grep -qF "version \`$version' not found" <<<"$out"
}

# What is missing at run time is named when the window opens: the fonts, the display.
missing_at_run_time() {
  local out
  printf '<?xml version="1.0"?>\n<fontconfig></fontconfig>\n' >"$tmp/no-fonts.conf"
  out=$(FONTCONFIG_FILE="$tmp/no-fonts.conf" "$prefix/bin/thicklens" 2>&1) && { echo "it ran without fonts"; return 1; }
  echo "$out"
  grep -qF 'no installed font stands for the face "Courier New"' <<<"$out" && grep -qF '(error -5)' <<<"$out" || return 1
  out=$(env -u DISPLAY -u PLOTVANE_HOST "$prefix/bin/thicklens" 2>&1) && { echo "it ran without a display"; return 1; }
  echo "$out"
  grep -qF 'SDL2 reaches no display' <<<"$out" && grep -qF '(error -4)' <<<"$out"
}

deb=""
debian_package() {
  local list
  list=$(bash "$root/scripts/package.sh" deb) || { echo "$list"; return 1; }
  deb=$(tail -n 1 <<<"$list")
  [ -f "$deb" ]
}

# The run-time dependencies that the package declares: the shared libraries and the fonts.
deb_depends() {
  local depends p
  depends=$(dpkg-deb -f "$deb" Depends) || return 1
  echo "Depends: $depends"
  local names
  names=$(tr ',|' '\n\n' <<<"$depends" | sed -E 's/^ *//; s/[ (].*//')
  for p in libc6 libstdc++6 libsdl2-2.0-0 libfontconfig1 fonts-liberation fonts-dejavu-core; do
    grep -qxF "$p" <<<"$names" || { echo "not declared: $p"; return 1; }
  done
  # apt resolves them (a simulation: nothing is installed).
  apt-get -s install "$deb" | grep -q '^Inst plotvane'
}

# The package unpacked into a throw-away folder: one of its programs opens and runs headless
# until stopped, and the template builds against the package's files.
deb_unpacked() {
  local dir="$tmp/deb" rc
  dpkg-deb -x "$deb" "$dir" || return 1
  timeout 3 "$dir/usr/bin/thicklens"
  rc=$?
  [ "$rc" -eq 124 ] || { echo "thicklens ended by itself with status $rc"; return 1; }
  local own="$tmp/own-deb"
  rm -rf "$own" && cp -r "$dir/usr/share/doc/plotvane/examples/own-program" "$own" || return 1
  cmake -S "$own" -B "$own/build" -DCMAKE_PREFIX_PATH="$dir/usr" && cmake --build "$own/build" &&
    "$own/build/my_optics" 30
}

check installed installed
if ((failed == 0)); then
  check cmake_template cmake_template
  check cmake_template_static cmake_template_static
  check pkgconfig_template pkgconfig_template
  check exports exports
  check older_library older_library
  check missing_at_run_time missing_at_run_time
fi
check debian_package debian_package
if [ -n "$deb" ]; then
  check deb_depends deb_depends
  check deb_unpacked deb_unpacked
fi
echo "$passed passed, $failed failed"
((failed == 0))
