#!/usr/bin/env bash
# Builds Vireo and runs every test: once in a normal build, then again built
# with AddressSanitizer and UndefinedBehaviorSanitizer. Finally builds every
# target in the Release configuration, whose optimiser finds warnings the
# others do not (nothing runs there). Warnings are errors in all three.
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

vireo_build build-release -DCMAKE_BUILD_TYPE=Release -DVIREO_WERROR=ON || status=1

if [ $status -ne 0 ]; then
  echo "Some tests or builds failed." >&2
fi
exit $status
