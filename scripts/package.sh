#!/usr/bin/env bash
# Builds the Debian package vireo_<version>_<arch>.deb in the project folder
# from the Release build (build-release/, the one scripts/test.sh also makes,
# so that after a test run nothing is compiled again) with CPack, then lets
# lintian judge it. Exit status 1 when lintian reports an error.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
vireo_install_missing

vireo_build build-release -DCMAKE_BUILD_TYPE=Release -DVIREO_WERROR=ON
rm -f build-release/vireo_*.deb vireo_*.deb
(cd build-release && cpack -G DEB >/dev/null)
deb=$(basename build-release/vireo_*.deb)
mv "build-release/$deb" .
echo "Built $deb"
lintian --fail-on error --info "$deb"
