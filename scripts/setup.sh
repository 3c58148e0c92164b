#!/usr/bin/env bash
# Installs what the build needs (Debian 12 packages), then configures and
# builds. A second run installs nothing and builds only what changed.
#   scripts/setup.sh [build-dir] [extra cmake options...]
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$here/build}
shift || true

packages=(
  g++ cmake ninja-build ccache pkg-config
  qt6-base-dev qt6-serialport-dev qt6-qpa-plugins libjpeg62-turbo-dev
  googletest libgtest-dev
  xvfb xauth xdotool imagemagick x11-utils fonts-dejavu-core fonts-dejavu-extra
  dbus dbus-x11 at-spi2-core python3-pyatspi
  clang libclang-rt-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "setup: run as root or install sudo" >&2; exit 1; }
    sudo="sudo"
  fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
elif (($#)); then
  cmake "$build" "$@"
fi
cmake --build "$build" -j "$(nproc)"
