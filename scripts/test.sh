#!/usr/bin/env bash
# The whole test suite: installs what is missing, then builds and runs every stage.
#   native        all tests (platform, library, demos, end-to-end under Xvfb)
#   asan-ubsan    the same tests built with AddressSanitizer and UndefinedBehaviorSanitizer
#   tsan          the threading tests built with ThreadSanitizer
#   fuzz          the kept fuzz corpus replayed by the fuzzer (clang, AddressSanitizer and
#                 UndefinedBehaviorSanitizer); without clang, by the replay test of the native build
#   windows       the library built with mingw-w64 and its tests run under Wine; the
#                 reference check of the platform layer against Wine's GDI
#   install       cmake --install into a throw-away prefix, the template program built against
#                 it and run, the shared library's exports, the Debian package (test-install.sh)
#   web           the WebAssembly build (scripts/web.sh) and its test programs, run in
#                 headless Chromium by tests/web (puppeteer-core from npm)
# Usage: scripts/test.sh [stage ...]   (all stages by default)
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
bash "$root/scripts/setup.sh" || exit 1

passed=0
failed=0
failures=()

# Runs ctest in a build tree and adds its counts to the totals.
run_ctest() {
  local stage=$1 dir=$2
  shift 2
  local log="$dir/ctest.log"
  (cd "$dir" && ctest --output-on-failure -j"$jobs" "$@") 2>&1 | tee "$log"
  count_ctest "$stage" "$log"
}

# Adds the counts of a ctest log to the totals.
count_ctest() {
  local stage=$1 log=$2
  local line
  line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" 2>/dev/null | tail -n 1)
  if [ -z "$line" ]; then
    failures+=("$stage: ctest ran no test")
    failed=$((failed + 1))
    return
  fi
  local f total
  f=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<<"$line")
  total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
  passed=$((passed + total - f))
  failed=$((failed + f))
  ((f == 0)) || failures+=("$stage: $f of $total failed")
}

# build STAGE DIR [CMAKE-ARGS...] [-- TARGETS...]: configures, then builds the targets (all by default).
build() {
  local stage=$1 dir=$2
  shift 2
  local args=() targets=()
  while (($#)) && [ "$1" != "--" ]; do args+=("$1"); shift; done
  (($#)) && shift
  for t in "$@"; do targets+=(--target "$t"); done
  if ! { cmake -S "$root" -B "$dir" "${args[@]}" >/dev/null &&
    cmake --build "$dir" -j"$jobs" "${targets[@]}" >"$dir.build.log" 2>&1; }; then
    tail -n 60 "$dir.build.log" 2>/dev/null
    failures+=("$stage: build failed")
    failed=$((failed + 1))
    return 1
  fi
}

stage_native() {
  build native "$root/build" && run_ctest native "$root/build"
}

stage_asan_ubsan() {
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
  export LSAN_OPTIONS="suppressions=$root/tests/sanitizer/lsan.supp:print_suppressions=0"
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  build asan-ubsan "$root/build-asan" -DPLOTVANE_SANITIZE=address,undefined &&
    run_ctest asan-ubsan "$root/build-asan" -LE slow
}

stage_tsan() {
  export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$root/tests/sanitizer/tsan.supp"
  local dir="$root/build-tsan"
  cmake -S "$root" -B "$dir" -DPLOTVANE_SANITIZE=thread >/dev/null || { failures+=("tsan: configure failed"); failed=$((failed + 1)); return; }
  # Only the test programs that run here: those named for threads, and the benchmark's run.
  local targets
  mapfile -t targets < <(cmake --build "$dir" --target help | sed -nE 's/^\.\.\. ([A-Za-z0-9_]*threads[A-Za-z0-9_]*).*/\1/p')
  build tsan "$dir" -- "${targets[@]}" bench_program_test && run_ctest tsan "$dir" -L threads
}

stage_fuzz() {
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
  export LSAN_OPTIONS="suppressions=$root/tests/sanitizer/lsan.supp:print_suppressions=0"
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  if ! command -v clang++ >/dev/null; then
    build fuzz "$root/build" && run_ctest fuzz "$root/build" -L fuzz
    return
  fi
  # Only the fuzzer is built in this tree.
  local dir="$root/build-fuzz"
  if ! { CC=clang CXX=clang++ cmake -S "$root" -B "$dir" -DPLOTVANE_SANITIZE=address,undefined -DPLOTVANE_TESTS=ON \
           >/dev/null && cmake --build "$dir" -j"$jobs" --target plotvane_fuzzer >"$dir.build.log" 2>&1; }; then
    tail -n 60 "$dir.build.log" 2>/dev/null
    failures+=("fuzz: build failed")
    failed=$((failed + 1))
    return
  fi
  run_ctest fuzz "$dir" -R '^fuzz_corpus$'
}

# test-windows.sh runs ctest itself, inside the Wine prefix and the Xvfb it keeps for the run.
stage_windows() {
  local dir="$root/build-win"
  rm -f "$dir/x86_64/ctest.log"
  bash "$root/scripts/test-windows.sh" "$dir"
  if (($? == 2)); then
    failures+=("windows: build or set-up failed")
    failed=$((failed + 1))
    return
  fi
  count_ctest windows "$dir/x86_64/ctest.log"
}

# test-install.sh ends with its own count, "N passed, M failed".
stage_install() {
  local log="$root/build-install.log" line p f
  bash "$root/scripts/test-install.sh" 2>&1 | tee "$log"
  line=$(grep -E '^[0-9]+ passed, [0-9]+ failed$' "$log" | tail -n 1)
  if [ -z "$line" ]; then
    failures+=("install: no result")
    failed=$((failed + 1))
    return
  fi
  p=${line%% passed*}
  f=${line#*, }
  f=${f%% failed}
  passed=$((passed + p))
  failed=$((failed + f))
  ((f == 0)) || failures+=("install: $f of $((p + f)) failed")
}

stage_web() {
  local log="$root/build-web-cmake.build.log"
  if ! bash "$root/scripts/web.sh" build inputcodes crashes textscene >"$log" 2>&1; then
    tail -n 60 "$log"
    failures+=("web: build failed")
    failed=$((failed + 1))
    return
  fi
  if ! (cd "$root/tests/web" && npm ci --no-audit --no-fund >/dev/null 2>&1); then
    failures+=("web: npm ci failed")
    failed=$((failed + 1))
    return
  fi
  log="$root/build-web-cmake/test.log"
  (cd "$root/tests/web" && node --test) 2>&1 | tee "$log"
  local p f
  p=$(sed -nE 's/^# pass ([0-9]+)$/\1/p' "$log")
  f=$(sed -nE 's/^# fail ([0-9]+)$/\1/p' "$log")
  if [ -z "$p" ] || [ -z "$f" ] || ((p + f == 0)); then
    failures+=("web: the browser tests ran no test")
    failed=$((failed + 1))
    return
  fi
  passed=$((passed + p))
  failed=$((failed + f))
  ((f == 0)) || failures+=("web: $f of $((p + f)) failed")
}

stages=("$@")
((${#stages[@]})) || stages=(native asan_ubsan tsan fuzz windows install web)
timings=()
for s in "${stages[@]}"; do
  s=${s//-/_}
  echo "==== stage $s"
  start=$SECONDS
  if declare -F "stage_$s" >/dev/null; then "stage_$s"; else failures+=("unknown stage $s"); failed=$((failed + 1)); fi
  timings+=("$s $((SECONDS - start)) s")
done

echo
echo "time per stage: $(IFS=,; echo "${timings[*]}" | sed 's/,/, /g')"

echo
for f in "${failures[@]}"; do echo "FAILED: $f"; done
echo "$passed passed, $failed failed"
((failed == 0))
