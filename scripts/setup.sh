#!/usr/bin/env bash
# Installs the Debian packages the project needs (only those missing), then
# configures and builds it in ./build. Safe to run again.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(build-essential cmake qt6-base-dev libqt6opengl6-dev libglu1-mesa-dev
          xvfb xauth libgl1-mesa-dri fonts-dejavu-core clang libclang-rt-14-dev
          slurmctld slurmd slurm-client munge
          desktop-file-utils appstream groff-base xdotool python3-meshio)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${missing[@]}"
fi

build_type=${BUILD_TYPE:-RelWithDebInfo}
cmake -S . -B build -DCMAKE_BUILD_TYPE="$build_type" ${CMAKE_EXTRA_ARGS:-}
cmake --build build -j "$(nproc)"
