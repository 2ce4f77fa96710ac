#!/usr/bin/env bash
# Sets everything up and makes Kinvalo's Debian package: a release build of
# the program alone in build-package/, with Debian's hardening flags, packed
# by CPack into build-package/kinvalo_VERSION_ARCH.deb. Prints its path.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/scripts/setup.sh"
cd "$here"

export DEB_BUILD_MAINT_OPTIONS=hardening=+all
eval "$(dpkg-buildflags --export=sh)"
# CMake reads CXXFLAGS and LDFLAGS when the folder is first configured; it
# knows no CPPFLAGS.
export CXXFLAGS="$CXXFLAGS $CPPFLAGS"
bash scripts/build.sh package

rm -f build-package/kinvalo_*.deb
(cd build-package && cpack -G DEB >/dev/null)
ls "$here"/build-package/kinvalo_*.deb
