#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Start-up time, exec to a mapped window, on a private Xvfb with SDL's
# dummy audio driver and a fresh profile.
#
#   bash bench/startup_bench.sh [runs]      (default 10)
set -euo pipefail
cd "$(dirname "$0")/.."
RUNS=${1:-10}
BUILD_DIR=${BUILD_DIR:-build}
for p in xvfb libxcb1-dev; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO="sudo"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends xvfb libxcb1-dev
    break
  fi
done
cmake -S . -B "$BUILD_DIR" -DDRAVIK_BENCH=ON >/dev/null
cmake --build "$BUILD_DIR" -j2 --target startup_bench dravik >/dev/null \
  || { echo "startup_bench.sh: the build failed (startup_bench needs libxcb1-dev)" >&2; exit 1; }

work=$(mktemp -d)
Xvfb :97 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
sleep 1
export DISPLAY=:97 XDG_RUNTIME_DIR=$work HOME=$work SDL_AUDIODRIVER=dummy
chmod 700 "$work"
"$BUILD_DIR/bench/startup_bench" "$BUILD_DIR/src/app/dravik" "$RUNS"
