#!/usr/bin/env bash
# Builds the library, the demos and the examples for Windows with mingw-w64, for x86_64 (with
# the tests) and i686, then runs the 64-bit tests under Wine through CTest.
#   scripts/test-windows.sh [DIR] [CTEST-ARGS...]      (DIR: build-win by default)
# Builds go to DIR/x86_64 and DIR/i686. The i686 programs are built but not run: that would
# need the 32-bit Wine (wine32), which a 64-bit Debian does not install.
# One Wine prefix (DIR/wineprefix, made on first use) and one Xvfb serve the whole run; the
# Xvfb is stopped at the end. CTest's output is kept in DIR/x86_64/ctest.log.
# Exit status: 0 all tests passed, 1 some failed, 2 the build or the set-up failed.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-"$root/build-win"}
(($#)) && shift
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)
jobs=$(nproc)
bash "$root/scripts/setup.sh" || exit 2

for arch in x86_64 i686; do
  echo "test-windows: building $arch"
  toolchain=()  # a toolchain counts only when a build directory is first made
  [ -f "$dir/$arch/CMakeCache.txt" ] || toolchain=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$arch.cmake")
  # The i686 tests could not run here: build its library and programs only.
  tests=ON
  [ "$arch" = i686 ] && tests=OFF
  if ! { cmake -S "$root" -B "$dir/$arch" "${toolchain[@]}" -DPLOTVANE_TESTS=$tests >/dev/null &&
    cmake --build "$dir/$arch" -j"$jobs" >"$dir/$arch.build.log" 2>&1; }; then
    tail -n 60 "$dir/$arch.build.log"
    echo "test-windows: the $arch build failed (log: $dir/$arch.build.log)"
    exit 2
  fi
done

xvfb_pid=""
export WINEPREFIX="$dir/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
  wineserver -k 2>/dev/null
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
  fi
}
trap cleanup EXIT
trap 'exit 2' INT TERM HUP

# Xvfb picks a free display itself and writes its number to the descriptor given.
display_file="$dir/xvfb.display"
rm -f "$display_file"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$display_file" 2>"$dir/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$display_file" ] && break
  kill -0 "$xvfb_pid" 2>/dev/null || break
  sleep 0.1
done
[ -s "$display_file" ] || { echo "test-windows: Xvfb did not start"; cat "$dir/xvfb.log"; exit 2; }
export DISPLAY=":$(head -n 1 "$display_file")"
# The pointer starts in the middle of the screen, where the windows open; a window that appears
# under it gets a real WM_MOUSEMOVE among the test's own messages. Park it in a corner.
xdotool mousemove 1279 1023 || { echo "test-windows: xdotool could not move the pointer"; exit 2; }

# A wineserver that stays up for the whole run spares every test program Wine's start-up. The
# first program of a session starts Wine's own background processes, which keep the descriptors
# they inherit: start them here, on a log file, not in a test whose output CTest waits for.
mkdir -p "$WINEPREFIX"
wineserver -p
log="$dir/wineboot.log"
if [ ! -f "$WINEPREFIX/fonts.reg" ]; then
  echo "test-windows: making the Wine prefix"
  wineboot -i >"$log" 2>&1 </dev/null || { cat "$log"; exit 2; }
  # Windows has the four standard faces the library installs; Wine has none of them, so they
  # stand for metric-compatible families that scripts/setup.sh installs.
  cat >"$WINEPREFIX/fonts.reg.new" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Arial"="Liberation Sans"
"Times New Roman"="Liberation Serif"
"Courier New"="Liberation Mono"
"MS Sans Serif"="Liberation Sans"
REG
  wine regedit /S "$(winepath -w "$WINEPREFIX/fonts.reg.new")" >>"$log" 2>&1 </dev/null &&
    mv "$WINEPREFIX/fonts.reg.new" "$WINEPREFIX/fonts.reg" || { cat "$log"; exit 2; }
else
  wineboot >"$log" 2>&1 </dev/null || { cat "$log"; exit 2; }
fi

echo "test-windows: running the x86_64 tests under Wine on $DISPLAY"
(cd "$dir/x86_64" && ctest --output-on-failure -j"$jobs" --timeout 300 "$@") 2>&1 | tee "$dir/x86_64/ctest.log"
status=${PIPESTATUS[0]}
((status == 0)) || exit 1
