#!/usr/bin/env bash
# Sets everything up, builds, and starts the designer from the repository root,
# where its data/ folder is.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
export PATH="$PWD/build/bin:$PATH"
if [ -x build/bin/karveno ]; then
    exec build/bin/karveno "$@"
fi
echo "The designer is not built yet; the libraries and tests are."
