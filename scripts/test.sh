#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets up, builds and runs every test. Widgets run on Qt's offscreen
# platform and audio through SDL's dummy or disk driver, so neither a
# display nor a sound card is needed.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --tests
cd "${BUILD_DIR:-build}"
ctest --output-on-failure -j2
