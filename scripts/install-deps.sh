#!/usr/bin/env bash
# Installs the build and test packages that are missing; does nothing when all are present. The fuzzers
# want clang 16 (clang 14 cannot compile the standard library's std::source_location) and its runtimes.
set -euo pipefail
packages=(cmake ninja-build pkg-config g++ ccache libgtest-dev libbenchmark-dev libfftw3-dev libopenimageio-dev
          clang-16 libclang-rt-16-dev)
# The Windows build: the cross compiler, GoogleTest's source to build with it, and wine to run the tests
# (without its recommendations: no desktop, fonts or media libraries are needed to run them headless).
windows_packages=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 googletest wine wine64)

missing_of() {
  local package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || echo "$package"
  done
}
mapfile -t missing < <(missing_of "${packages[@]}")
mapfile -t missing_windows < <(missing_of "${windows_packages[@]}")
if [ ${#missing[@]} -gt 0 ] || [ ${#missing_windows[@]} -gt 0 ]; then
  echo "installing: ${missing[*]} ${missing_windows[*]}"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  if [ ${#missing[@]} -gt 0 ]; then
    DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${missing[@]}" >/dev/null
  fi
  if [ ${#missing_windows[@]} -gt 0 ]; then
    DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing_windows[@]}" >/dev/null
  fi
fi
