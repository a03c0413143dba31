#!/usr/bin/env bash
# Runs one of the programs in a window: scripts/run-demo.sh [name] (thicklens by default).
# Installs and builds what is missing first.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
name=${1:-thicklens}
bash "$root/scripts/setup.sh"
cmake -S "$root" -B "$root/build-run" -DPLOTVANE_TESTS=OFF >/dev/null
cmake --build "$root/build-run" --target "$name" -j"$(nproc)"
exe=$(find "$root/build-run" -type f -name "$name" -perm -u+x | head -n 1)
[ -n "$exe" ] || { echo "run-demo: no program named $name" >&2; exit 2; }
exec "$exe"
