#!/usr/bin/env bash
# Configures and builds the whole tree in build/ (the game directory is build/game/).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQM_WERROR="${QM_WERROR:-OFF}" > /dev/null
cmake --build build -j "$(nproc)"
