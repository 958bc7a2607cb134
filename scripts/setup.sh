#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages Dravik builds and runs with (as root, or via
# sudo), then configures and builds into build/. Only what is missing is
# installed.
#
#   scripts/setup.sh           the program alone (what run.sh needs)
#   scripts/setup.sh --tests   everything: tests, benchmarks, their tools
set -euo pipefail
cd "$(dirname "$0")/.."

# dpkg-dev and file: the hardening flags of the build, and the Debian
# package that README.md makes from it.
PACKAGES=(cmake g++ make pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev libsdl2-dev libpulse-dev libqt6sql6-sqlite
          libespeak-ng-dev espeak-ng-data libmp3lame-dev
          fonts-ipafont-gothic qt6-translations-l10n dpkg-dev file)
TARGET=dravik
if [ "${1:-}" = "--tests" ]; then
  # Benchmarks, the validators the install test runs, and a sound server
  # for the PulseAudio device's test.
  PACKAGES+=(libbenchmark-dev appstream desktop-file-utils man-db lintian libxcb1-dev
            pulseaudio pulseaudio-utils)
  TARGET=all
  CMAKE_ARGS="-DDRAVIK_BENCH=ON ${CMAKE_ARGS:-}"
fi
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

BUILD_DIR="${BUILD_DIR:-build}"
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" ${CMAKE_ARGS:-} >/dev/null
cmake --build "$BUILD_DIR" -j"${JOBS:-2}" --target "$TARGET"
