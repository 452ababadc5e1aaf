#!/usr/bin/env bash
# Builds Vireo and starts it on the built-in simulated controller.
# Extra arguments go to vireo (for a real controller: ./scripts/run.sh --port ttyUSB0).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
vireo_install_missing
vireo_build build
if [ $# -eq 0 ]; then
  exec ./build/vireo --simulate
fi
exec ./build/vireo "$@"
