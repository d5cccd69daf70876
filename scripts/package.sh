#!/usr/bin/env bash
# Builds the Debian package build/quillmoss-editor_VERSION_ARCH.deb (dependencies from dpkg-shlibdeps)
# and checks it with lintian. Install it with: apt-get install ./build/quillmoss-editor_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
rm -f build/quillmoss-editor_*.deb
(cd build && cpack -G DEB)
lintian --fail-on error build/quillmoss-editor_*.deb
