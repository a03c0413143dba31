#!/usr/bin/env bash
# Fuzzes the library's operations with libFuzzer (clang, AddressSanitizer and
# UndefinedBehaviorSanitizer) on the headless host.
#   scripts/fuzz.sh [seconds]   fuzz for that long (default 600) from fuzz/corpus; new inputs go to
#                               build-fuzz/corpus-work, findings to build-fuzz/findings
#   scripts/fuzz.sh --merge     minimise: fuzz/corpus becomes at most 40 inputs of fuzz/corpus and
#                               build-fuzz/corpus-work that cover nearly all they cover together
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
  # libFuzzer's merge keeps every input that adds a feature, well over a hundred here; of
  # those, the few dozen that add the most edges, one after the other, cover nearly all.
  fresh=$(mktemp -d)
  control="$fresh.control"
  "$fuzzer" -merge=1 -use_counters=0 -merge_control_file="$control" "$fresh" "$root/fuzz/corpus" "$work"
  keep=$(awk -v max=40 '
    NR == 1 { files = $1; next }
    NR == 2 { next }
    NR <= 2 + files { name[NR - 3] = $0; next }
    $1 == "COV" { edges[$2] = ""; for (i = 3; i <= NF; ++i) edges[$2] = edges[$2] " " $i }
    END {
      for (round = 0; round < max; ++round) {
        best = -1; bestGain = 0
        for (id in edges) {
          if (id in taken) continue
          n = split(edges[id], e, " "); gain = 0
          for (j = 1; j <= n; ++j) if (!(e[j] in got)) ++gain
          if (gain > bestGain) { best = id; bestGain = gain }
        }
        if (best < 0) break
        taken[best] = 1
        n = split(edges[best], e, " ")
        for (j = 1; j <= n; ++j) got[e[j]] = 1
        print name[best]
      }
    }' "$control")
  picked=$(mktemp -d)
  while IFS= read -r f; do cp "$f" "$picked/"; done <<<"$keep"
  rm -f "$root"/fuzz/corpus/*
  cp "$picked"/* "$root/fuzz/corpus/"
  rm -rf "$fresh" "$control" "$picked"
  echo "fuzz/corpus: $(ls "$root/fuzz/corpus" | wc -l) inputs"
  exit 0
fi

seconds=${1:-600}
# One job: the machine's cores are shared. A program that runs 30 s counts as a hang.
# Programs need room from the start: an input runs only a few times a second, too slowly for
# libFuzzer's gradual growth of the length.
"$fuzzer" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=4096 -max_len=2048 -len_control=0 \
  -artifact_prefix="$build/findings/" -print_final_stats=1 "$work" "$root/fuzz/corpus"
