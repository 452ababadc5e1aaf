#!/usr/bin/env bash
# Installs, with apt-get, whatever Vireo needs to build, test and run that is
# not already on this Debian machine. Sourced by run.sh and test.sh.
set -euo pipefail

VIREO_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-serialport-dev qt6-httpserver-dev libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev libqcustomplot-dev libgsl-dev
  fonts-liberation xvfb xauth ccache
  python3-prometheus-client chromium
  librsvg2-bin lintian desktop-file-utils appstream
)

vireo_install_missing() {
  local missing=() pkg
  for pkg in "${VIREO_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then sudo=(sudo); fi
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# vireo_build DIR [cmake options...]: configure and build into DIR. The
# options apply also to a DIR configured before.
vireo_build() {
  local dir=$1; shift
  local root
  root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
  if [ ! -f "$root/$dir/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$root/$dir" -G Ninja "$@"
  elif [ $# -gt 0 ]; then
    cmake -S "$root" -B "$root/$dir" "$@" >/dev/null
  fi
  cmake --build "$root/$dir" --parallel "$(nproc)"
}
