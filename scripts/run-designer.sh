#!/usr/bin/env bash
# Sets everything up, builds, and starts the designer from the repository root,
# where its data/ folder is. build/bin goes first on PATH so that the designer
# finds the simulator and results viewer built beside it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
export PATH="$PWD/build/bin:$PATH"
exec build/bin/karveno "$@"
