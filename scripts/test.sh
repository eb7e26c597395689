#!/usr/bin/env bash
# Sets everything up, builds, and runs the whole test suite; then runs the design checker's tests
# once more under AddressSanitizer and UndefinedBehaviorSanitizer. Tests that need an OpenGL
# context start their own virtual display.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

jobs=$(nproc)
(cd build && ctest --output-on-failure -j "$jobs" --timeout 600)

# The checker is numerical code driven by positions read from user files: its tests also run with
# the sanitizers, in a build of their own.
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DKARVENO_SANITIZE=ON > /dev/null
checker_tests=$(cd build-sanitize && ctest -N -R '^checker-' | sed -n 's/^ *Test *#[0-9]*: *//p')
targets=()
for t in $checker_tests; do targets+=(--target "test_${t//-/_}"); done
cmake --build build-sanitize -j "$jobs" "${targets[@]}"
(cd build-sanitize && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j "$jobs" -R '^checker-')
