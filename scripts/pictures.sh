#!/usr/bin/env bash
# Renews the README's pictures: runs the end-to-end tests, whose screenshots of the real
# programs land in build/pictures, and copies them to docs/pictures.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
cmake -S "$root" -B "$root/build" >/dev/null
cmake --build "$root/build" -j"$(nproc)" >/dev/null
(cd "$root/build" && ctest -L e2e -R '^(Thicklens|Magnifier|Flashlight|Mirrorrays|Lightbeam|Shadow|MouseTrail|TextSampler)\.' >/dev/null)
mkdir -p "$root/docs/pictures"
cp "$root"/build/pictures/*.png "$root/docs/pictures/"
ls "$root/docs/pictures"
