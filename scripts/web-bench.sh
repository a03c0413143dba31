#!/usr/bin/env bash
# Speed of the web build: the programs' frames timed by plotvane-bench natively and in headless
# Chromium (the WebAssembly build), side by side, and the pictures each program page presents a
# second. Figures are wall-clock: anything else running on the machine shows in them.
#   scripts/web-bench.sh [RUNS] [FRAMES]     (default 5 runs of 200 frames)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-5}
frames=${2:-200}
bash "$root/scripts/web.sh" build plotvane-bench >/dev/null
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
cmake -S "$root" -B "$root/build-bench" -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" >/dev/null
cmake --build "$root/build-bench" -j2 --target plotvane-bench >/dev/null
(cd "$root/tests/web" && npm ci --no-audit --no-fund >/dev/null)
native="$root/build-bench/web-bench-native.tsv"
"$root/build-bench/bench/plotvane-bench" --mode programs --runs "$runs" --frames "$frames" --tsv >"$native"
node "$root/bench/web-bench.mjs" "$native" "$runs" "$frames"
