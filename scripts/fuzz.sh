#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz with clang, AddressSanitizer and UndefinedBehaviorSanitizer
# in build/fuzz, and runs each for SECONDS from its seeds in tests/fuzz/TARGET. What a run adds to a corpus
# goes to a scratch folder, never into the repository. A finding fails the script; its input is kept in
# build/fuzz/findings, with the sanitizer's report beside it (the image target's own code takes standard
# error over while a library reads, so reports go to files).
#   scripts/fuzz.sh SECONDS [TARGET...]      targets: pipl options plugin image (default: all)
set -euo pipefail
seconds="${1:?usage: fuzz.sh SECONDS [TARGET...]}"
shift
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(pipl options plugin image)
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build/fuzz"

# clang 16: the first clang whose library support has std::source_location.
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-16 \
      -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DNB_FUZZ=ON -DNB_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target "${targets[@]/#/fuzz_}"

findings="$build/findings"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$findings"
rm -f "$findings"/report.*
symbolizer="$(ls /usr/bin/llvm-symbolizer* /usr/lib/llvm-*/bin/llvm-symbolizer 2>/dev/null | tail -n 1)"
[ -z "$symbolizer" ] || export ASAN_SYMBOLIZER_PATH="$symbolizer"
# Memory is judged by what a run touches (-rss_limit_mb), not by what it reserves: image readers reserve
# for what a header claims (OpenImageIO 256 rows at a time, however few the image has) and fail on the data.
export ASAN_OPTIONS="allocator_may_return_null=1:max_allocation_size_mb=65536:log_path=$findings/report"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:log_path=$findings/report"
for target in "${targets[@]}"; do
  echo "== fuzzing $target for $seconds seconds"
  mkdir -p "$scratch/$target"
  # OpenImageIO's PNG reader leaks its message for a damaged file (libpng jumps over the destructor), and
  # the stack through the uninstrumented libraries is too short to tell it from a leak of ours.
  leaks=1
  [ "$target" != image ] || leaks=0
  if ! ASAN_OPTIONS="$ASAN_OPTIONS:detect_leaks=$leaks" "$build/tests/fuzz/fuzz_$target" "$scratch/$target" \
       "$root/tests/fuzz/$target" -max_total_time="$seconds" -timeout=60 -rss_limit_mb=4096 -malloc_limit_mb=65536 \
       -print_final_stats=1 -artifact_prefix="$findings/$target-" 2>"$scratch/$target.log"; then
    tail -n 20 "$scratch/$target.log"
    cat "$findings"/report.* 2>/dev/null || true
    echo "fuzz_$target found a fault: its input is in $findings" >&2
    exit 1
  fi
  grep -E "^stat::number_of_executed_units|^Done" "$scratch/$target.log"
done
