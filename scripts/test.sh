#!/usr/bin/env bash
# Sets up a fresh machine, then builds and runs every test: a regular build, an AddressSanitizer +
# UndefinedBehaviorSanitizer build, and the threading tests under ThreadSanitizer.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"

jobs="$(nproc)"
run_build() {
  local dir="$1" sanitize="$2" label="$3"
  cmake -S "$root" -B "$root/build/$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DNB_SANITIZE="$sanitize" -DNB_BUILD_BENCHMARKS=$([ "$dir" = release ] && echo ON || echo OFF) >/dev/null
  if [ -n "$label" ]; then
    cmake --build "$root/build/$dir" -j "$jobs" --target nb_threading_tests
    ctest --test-dir "$root/build/$dir" -L "$label" -j "$jobs" --output-on-failure
  else
    cmake --build "$root/build/$dir" -j "$jobs"
    ctest --test-dir "$root/build/$dir" -j "$jobs" --output-on-failure
  fi
}

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1"

echo "== regular build"
run_build release "" ""
echo "== address and undefined-behaviour sanitizers"
run_build asan "address,undefined" ""
echo "== thread sanitizer (threading tests)"
run_build tsan "thread" threading
echo "all test builds passed"
