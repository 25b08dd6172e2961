#!/usr/bin/env bash
# Builds the Debian package in build-package/ (an optimised build of its own), checks it with
# lintian and tests it unpacked; prints the package's path on standard output.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/packages.sh g++ cmake ninja-build qt6-base-dev libxcb1-dev libpng-dev libjpeg-dev fonts-dejavu-core \
  dpkg-dev file lintian appstream python3 >&2
# Debian's hardening flags (relro, now, fortify, stack protector), as its own packages have them.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMARIAN_TESTS=OFF \
  -DCMAKE_INSTALL_PREFIX=/usr \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build build-package >&2
rm -f build-package/lumarian_*.deb
(cd build-package && cpack -G DEB >&2)
package=$(ls build-package/lumarian_*.deb)
echo "lintian:" >&2
lintian --fail-on error,warning --display-info --pedantic "$package" >&2
/usr/bin/python3 tests/package/test_package.py --package "$package" >&2
echo "$package"
