#!/usr/bin/env bash
# Fuzzes the library's operations with libFuzzer (clang, AddressSanitizer and
# UndefinedBehaviorSanitizer) on the headless host.
#   scripts/fuzz.sh [seconds]   fuzz for that long (default 600) from fuzz/corpus; new inputs go to
#                               build-fuzz/corpus-work, findings to build-fuzz/findings
#   scripts/fuzz.sh --merge     minimise: fuzz/corpus becomes the smallest set of fuzz/corpus and
#                               build-fuzz/corpus-work that covers what they cover together
# A finding is replayed with: build-fuzz/fuzz/plotvane_fuzzer <file>
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-fuzz"
bash "$root/scripts/setup.sh"

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DPLOTVANE_SANITIZE=address,undefined >/dev/null
cmake --build "$build" -j2 --target plotvane_fuzzer >"$build.build.log" 2>&1 || {
  tail -n 40 "$build.build.log"
  exit 1
}

export PLOTVANE_HOST=headless
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS="suppressions=$root/tests/sanitizer/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fuzzer="$build/fuzz/plotvane_fuzzer"
work="$build/corpus-work"
mkdir -p "$work" "$build/findings"

if [ "${1:-}" = "--merge" ]; then
  fresh=$(mktemp -d)
  "$fuzzer" -merge=1 "$fresh" "$root/fuzz/corpus" "$work"
  rm -f "$root"/fuzz/corpus/*
  cp "$fresh"/* "$root/fuzz/corpus/"
  rm -rf "$fresh"
  echo "fuzz/corpus: $(ls "$root/fuzz/corpus" | wc -l) inputs"
  exit 0
fi

seconds=${1:-600}
# One job: the machine's cores are shared. A program that runs 30 s counts as a hang.
"$fuzzer" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=4096 -max_len=4096 \
  -artifact_prefix="$build/findings/" -print_final_stats=1 "$work" "$root/fuzz/corpus"
