#!/usr/bin/env bash
# Builds the Debian package build/quillmoss-editor_VERSION_ARCH.deb (dependencies from dpkg-shlibdeps)
# and checks it with lintian. Install it with: apt-get install ./build/quillmoss-editor_*.deb
#
# The package's programs are built with Debian's hardening flags (stack protector, fortified C library
# calls, read-only relocations bound at start) in a build directory of their own, build-package/; only
# what the package holds is built there, not the tests.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQM_BENCH=OFF \
  -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON \
  -DCMAKE_CXX_FLAGS="$CPPFLAGS $CXXFLAGS" \
  -DCMAKE_EXE_LINKER_FLAGS="$LDFLAGS" -DCMAKE_SHARED_LINKER_FLAGS="$LDFLAGS" > /dev/null
cmake --build build-package -j "$(nproc)" --target qmeditor qmtool gamefiles desktopfiles
rm -f build-package/quillmoss-editor_*.deb
(cd build-package && cpack -G DEB)
mkdir -p build
rm -f build/quillmoss-editor_*.deb
mv build-package/quillmoss-editor_*.deb build/
lintian --pedantic --fail-on error build/quillmoss-editor_*.deb
