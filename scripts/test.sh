#!/usr/bin/env bash
# Builds Vireo and runs every test: once in a normal build, then again built
# with AddressSanitizer and UndefinedBehaviorSanitizer. Then builds every
# target in the Release configuration, whose optimiser finds warnings the
# others do not (no test runs there). Warnings are errors in all three.
# Finally packages the Release build, validates the package's desktop entry
# and metainfo, unpacks it into a scratch folder and runs the programs there.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
vireo_install_missing

export QT_QPA_PLATFORM=offscreen
status=0

vireo_build build -DVIREO_WERROR=ON
ctest --test-dir build --output-on-failure --parallel "$(nproc)" || status=1

vireo_build build-asan -DVIREO_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug -DVIREO_WERROR=ON
ctest --test-dir build-asan --output-on-failure --parallel "$(nproc)" || status=1

# The package, from the Release build just made (package.sh builds nothing
# more with the same options), judged by lintian, then installed as files.
check_package() (
  ./scripts/package.sh || return 1
  root=$(mktemp -d)
  trap 'rm -rf "$root"' EXIT
  dpkg -x vireo_*.deb "$root"
  desktop-file-validate "$root"/usr/share/applications/*.desktop || return 1
  appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml || return 1
  # It answers in a terminal without a display.
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/vireo" --version || return 1
  "$root/usr/bin/vireo" --check-script "$root/usr/share/doc/vireo/examples/melt.txt" || return 1
  [ -f "$root/usr/share/vireo/Vireo Help.html" ] || { echo "The manual is not in the package." >&2; return 1; }
)
if vireo_build build-release -DCMAKE_BUILD_TYPE=Release -DVIREO_WERROR=ON; then
  check_package || { echo "The package failed its checks." >&2; status=1; }
else
  status=1
fi

if [ $status -ne 0 ]; then
  echo "Some tests or builds failed." >&2
fi
exit $status
