#!/usr/bin/env bash
# Sets up a fresh machine, then builds and runs every test: a regular build, an AddressSanitizer +
# UndefinedBehaviorSanitizer build, the fuzzers briefly, the threading tests under ThreadSanitizer, and the
# Windows binary with the tests that drive it, cross-built and run under wine.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"

jobs="$(nproc)"
run_build() {
  local dir="$1" sanitize="$2" label="$3"
  cmake -S "$root" -B "$root/build/$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DNB_SANITIZE="$sanitize" -DNB_BUILD_BENCHMARKS=$([ "$dir" = release ] && echo ON || echo OFF) >/dev/null
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
echo "== fuzzing (30 seconds a target, from the seeds in tests/fuzz)"
"$root/scripts/fuzz.sh" 30
echo "== thread sanitizer (threading tests)"
run_build tsan "thread" threading
echo "== Windows binary under wine"
windows="$root/build/windows"
cmake -S "$root" -B "$windows" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER_LAUNCHER=ccache \
      -DNB_NATIVE_BUILD_DIR="$root/build/release" >/dev/null
cmake --build "$windows" -j "$jobs" --target blurmond nb_tests_windows
# A private wine prefix, made before the tests start so that parallel tests do not race to make it; no
# Mono or Gecko is wanted, and no display is needed.
export WINEPREFIX="$windows/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=
wine wineboot --init >/dev/null 2>&1
wineserver --wait
ctest --test-dir "$windows" -j "$jobs" --output-on-failure
# wine's server leaves by itself shortly after its last program.
wineserver --wait
echo "all test builds passed"
