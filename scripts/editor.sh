#!/usr/bin/env bash
# Installs what is missing, builds, and starts the editor on the default game directory.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
if [ -x build/game/qmeditor ]; then
  exec build/game/qmeditor
fi
echo "The editor is not part of this build yet; the game directory is $(pwd)/build/game/"
ls build/game
