#!/usr/bin/env bash
# Compares our GDI with Wine's on the reference scenes, pixel for pixel.
#   scripts/reference-check.sh [FILTER...] [-- COMPARER-OPTIONS]
# A filter is an area ("lines", "ellipse"), a scene name, or a pattern with * ("pens/*-opaque-*").
# Pictures of each differing scene (ours, Wine's, the differences in magenta) are written to
# build-ref/reference-png. Options after -- go to the comparer: --show N (differences listed per
# scene), --png-all, --scale N, --verbose.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir="$root/build-ref"
bash "$root/scripts/setup.sh"

filters=()
while (($#)) && [ "$1" != "--" ]; do
  filters+=(--filter "$1")
  shift
done
(($#)) && shift

cmake -S "$root" -B "$dir" >/dev/null
cmake --build "$dir" -j2 --target reference_scenes reference_compare reference_scenes_windows >"$dir/reference-build.log" 2>&1 ||
  { tail -n 40 "$dir/reference-build.log"; exit 1; }
ref="$dir/tests/reference"
bash "$root/tests/reference/render.sh" "$ref/reference_scenes" "$ref/windows/reference_scenes.exe" "$ref/out"
rm -rf "$dir/reference-png"
exec "$ref/reference_compare" "$ref/out/ours.bin" "$ref/out/wine.bin" "${filters[@]}" \
  --budgets "$root/tests/reference/pixel-budgets.txt" --png "$dir/reference-png" "$@"
