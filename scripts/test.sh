#!/usr/bin/env bash
# Sets everything up, builds, and runs the whole test suite. Tests that need an
# OpenGL context start their own virtual display.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cd build
ctest --output-on-failure -j "$(nproc)" --timeout 600
