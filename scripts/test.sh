#!/usr/bin/env bash
# Sets everything up, builds, and runs the whole test suite. The design checker's tests run first in
# a build of their own with AddressSanitizer and UndefinedBehaviorSanitizer; tests that need an
# OpenGL context start their own virtual display.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
jobs=$(nproc)

# The checker is numerical code driven by positions read from user files: its tests also run with
# the sanitizers.
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DKARVENO_SANITIZE=ON > /dev/null
checker_tests=$(cd build-sanitize && ctest -N -R '^checker-' | sed -n 's/^ *Test *#[0-9]*: *//p')
targets=()
for t in $checker_tests; do targets+=(--target "test_${t//-/_}"); done
cmake --build build-sanitize -j "$jobs" "${targets[@]}"
(cd build-sanitize && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j "$jobs" -R '^checker-')

# The whole suite.
cd build
ctest --output-on-failure -j "$jobs" --timeout 600

# The fuzz targets, 30 s each, from their seed corpora: a regression in a reader, the hand-over
# or the checker that a crash, a leak or a sanitizer report shows stops the run here.
cd ..
scripts/fuzz.sh 30
