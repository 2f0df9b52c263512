#!/usr/bin/env bash
# Sets up a fresh machine, builds the plug-in and blurmond-render, and renders the built-in demo to
# out/demo.png (its input beside it as out/demo_input.png).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"

# The same configuration as the regular build of scripts/test.sh, so the two share build/release.
cmake -S "$root" -B "$root/build/release" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DNB_SANITIZE="" -DNB_BUILD_BENCHMARKS=ON >/dev/null
cmake --build "$root/build/release" -j "$(nproc)" --target blurmond-render

mkdir -p "$root/out"
"$root/build/release/plugin/blurmond-render" --demo "$root/out/demo.png"
