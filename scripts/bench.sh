#!/usr/bin/env bash
# Times the six programs' frames and the library's primitives on our platform layer and on a
# real GDI (the Windows build of the same benchmark under Wine), in one run on this machine,
# and prints both columns side by side with their ratio and the speed targets.
#   scripts/bench.sh [BENCH-ARGS...]     e.g. scripts/bench.sh --runs 5 --frames 100
# Builds (Release) go to build-bench (native) and build-bench-win (mingw x86_64); the Wine
# prefix lives in build-bench-win/wineprefix. The raw figures and the table are kept in
# build-bench/bench-results/. One Xvfb serves Wine's window and the SDL host's present; it is
# stopped at the end.
# The programs and the SDL present are also timed in two bigger windows (1280 x 1024, mode 8;
# 1920 x 1080, mode 13), rows named program@WxH.
# The figures are wall-clock times: anything else running on the machine shows in them, so
# the two sides are run in turn (programs, then primitives) to share the disturbance.
# Exit status: 0 the benchmark ran on both sides (whatever the targets say), 1 a run failed,
# 2 the build or the set-up failed.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
native="$root/build-bench"
win="$root/build-bench-win"
out="$native/bench-results"
bash "$root/scripts/setup.sh" || exit 2

build() {
  local dir=$1
  shift
  if ! { cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null &&
    cmake --build "$dir" -j2 --target plotvane-bench >"$dir.build.log" 2>&1; }; then
    tail -n 40 "$dir.build.log" 2>/dev/null
    echo "bench: the build in $dir failed (log: $dir.build.log)"
    exit 2
  fi
}
echo "bench: building (Release) in $native and $win"
build "$native"
toolchain=()  # a toolchain counts only when a build directory is first made
[ -f "$win/CMakeCache.txt" ] || toolchain=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake")
build "$win" "${toolchain[@]}" -DPLOTVANE_TESTS=OFF
mkdir -p "$out"

export WINEPREFIX="$win/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
xvfb_pid=""
cleanup() {
  wineserver -k 2>/dev/null  # our prefix's server only
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
  fi
}
trap cleanup EXIT

display_file="$win/xvfb.display"
rm -f "$display_file"
Xvfb -displayfd 3 -screen 0 2048x1536x24 -nolisten tcp -noreset 3>"$display_file" 2>"$win/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$display_file" ] && break
  kill -0 "$xvfb_pid" 2>/dev/null || break
  sleep 0.1
done
[ -s "$display_file" ] || { echo "bench: Xvfb did not start"; cat "$win/xvfb.log"; exit 2; }
export DISPLAY=":$(head -n 1 "$display_file")"

if [ ! -f "$WINEPREFIX/fonts.done" ]; then
  echo "bench: making the Wine prefix"
  wineboot -i >"$win/wineboot.log" 2>&1 </dev/null || { cat "$win/wineboot.log"; exit 2; }
  # The library's standard faces, which a fresh prefix lacks; without them the window opens
  # unshown and without its defaults. Liberation's faces have the same metrics.
  for pair in "Arial=Liberation Sans" "Times New Roman=Liberation Serif" "Courier New=Liberation Mono" \
    "MS Sans Serif=Liberation Sans"; do
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "${pair%%=*}" /t REG_SZ /d "${pair#*=}" /f \
      >>"$win/wineboot.log" 2>&1 || { cat "$win/wineboot.log"; exit 2; }
  done
  touch "$WINEPREFIX/fonts.done"
fi
wineserver -p  # one server for every run spares each its start-up

bench_native=("$native/bench/plotvane-bench" --tsv "$@")
bench_wine=(wine "$win/bench/plotvane-bench.exe" --tsv "$@")
run() {
  local file=$1
  shift
  if ! "$@" >"$file" 2>"$file.err"; then
    cat "$file.err"
    echo "bench: '$*' failed"
    exit 1
  fi
}
echo "bench: load before: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "bench: programs, ours";       run "$out/native-programs.tsv" "${bench_native[@]}" --mode programs
echo "bench: programs, Wine";       run "$out/wine-programs.tsv" "${bench_wine[@]}" --mode programs
echo "bench: primitives, ours";     run "$out/native-primitives.tsv" "${bench_native[@]}" --mode primitives
echo "bench: primitives, Wine";     run "$out/wine-primitives.tsv" "${bench_wine[@]}" --mode primitives
echo "bench: present through SDL on $DISPLAY"
if SDL_VIDEODRIVER=x11 "${bench_native[@]}" --mode present --host sdl >"$out/native-sdl.tsv" 2>"$out/native-sdl.err"; then
  sdl_note=""
else
  : >"$out/native-sdl.tsv"
  sdl_note="the SDL present was skipped: $(head -n 1 "$out/native-sdl.err")"
fi
sizes=(1280x1024 1920x1080)
for size in "${sizes[@]}"; do
  echo "bench: programs in $size, ours"; run "$out/native-programs-$size.tsv" "${bench_native[@]}" --mode programs --window "$size"
  echo "bench: programs in $size, Wine"; run "$out/wine-programs-$size.tsv" "${bench_wine[@]}" --mode programs --window "$size"
  echo "bench: present through SDL in $size"
  SDL_VIDEODRIVER=x11 "${bench_native[@]}" --mode present --host sdl --window "$size" >"$out/native-sdl-$size.tsv" \
    2>"$out/native-sdl-$size.err" || : >"$out/native-sdl-$size.tsv"
done
echo "bench: load after: $(cut -d' ' -f1-3 /proc/loadavg)"

cat "$out"/native-programs.tsv "$out"/native-primitives.tsv >"$out/native.tsv"
# The SDL rows stand beside Wine's own present, which goes to its X window too.
sed -E 's/^([^\t]*)\t/\1-sdl\t/' "$out/native-sdl.tsv" >>"$out/native.tsv"
cat "$out"/wine-programs.tsv "$out"/wine-primitives.tsv >"$out/wine.tsv"
for size in "${sizes[@]}"; do
  cat "$out/native-programs-$size.tsv" >>"$out/native.tsv"
  sed -E 's/^([^\t]*)\t/\1-sdl\t/' "$out/native-sdl-$size.tsv" >>"$out/native.tsv"
  cat "$out/wine-programs-$size.tsv" >>"$out/wine.tsv"
done

# Fields: name unit median min max runs. Speed-up: Wine's time over ours (for fps, ours over
# Wine's); above 1 we are faster.
awk -F'\t' -v note="$sdl_note" '
  function fmt(v) { return v >= 100 ? sprintf("%.0f", v) : sprintf("%.2f", v) }
  function verdict(ok) { return ok ? "met" : "MISSED" }
  FNR == NR { wmed[$1] = $3; wmin[$1] = $4; wmax[$1] = $5; next }
  {
    name = $1; unit = $2; key = name; sub(/-sdl$/, "", key)
    ours[name] = $3; order[++n] = name; units[name] = unit
    spread[name] = fmt($4) "-" fmt($5)
    if (key in wmed) {
      w[name] = wmed[key]; wspread[name] = fmt(wmin[key]) "-" fmt(wmax[key])
      if (unit == "fps") up[name] = wmed[key] > 0 ? $3 / wmed[key] : 0
      else up[name] = $3 > 0 ? wmed[key] / $3 : 0
    }
  }
  END {
    printf "\n%-28s %-5s %10s %-15s %10s %-15s %8s\n", "", "unit", "ours", "(min-max)", "Wine GDI", "(min-max)", "speed-up"
    for (i = 1; i <= n; ++i) {
      r = order[i]
      if (r in w) printf "%-28s %-5s %10s %-15s %10s %-15s %8.2f\n", r, units[r], fmt(ours[r]), spread[r], fmt(w[r]), wspread[r], up[r]
      else printf "%-28s %-5s %10s %-15s %10s %-15s %8s\n", r, units[r], fmt(ours[r]), spread[r], "-", "", "-"
    }
    print "\nTargets (medians of this run):"
    for (i = 1; i <= n; ++i) {
      r = order[i]
      if (r ~ /\/draw$/ && r !~ /@/ && (r in up)) printf "  %-44s %6.2f x  (>= 5)    %s\n", r " faster than Wine", up[r], verdict(up[r] >= 5)
    }
    for (i = 1; i <= n; ++i) {
      r = order[i]
      if ((r ~ /\/present$/ || r ~ /^present\/path/) && r !~ /@/ && (r in up))
        printf "  %-44s %6.2f x  (>= 3)    %s\n", r " faster than Wine", up[r], verdict(up[r] >= 3)
    }
    if (("clear/page" in ours) && ours["ref/memset-page"] > 0) {
      q = ours["clear/page"] / ours["ref/memset-page"]
      printf "  %-44s %6.2f x  (<= 1.5)  %s\n", "clear/page over a memset of the page", q, verdict(q <= 1.5)
    }
    if (("blit/page-to-window" in ours) && ours["ref/memcpy-window"] > 0) {
      q = ours["blit/page-to-window"] / ours["ref/memcpy-window"]
      printf "  %-44s %6.2f x  (<= 1.5)  %s\n", "blit/page-to-window over a memcpy of 32 bits", q, verdict(q <= 1.5)
    }
    if (note != "") print "\n" note
  }' "$out/wine.tsv" "$out/native.tsv" | tee "$out/table.txt"
echo "bench: figures kept in $out"
