#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The sound path as a user's desktop hears it: starts Xvfb and a private
# PulseAudio server with a null sink, then runs whole tests of the shown
# form at 12, 60 and 120 WPM, on an idle machine, with two busy loops and
# with eight, and measures every element and gap on the sink's monitor.
#
#   [LOADS="idle busy heavy"] bash bench/sound_bench.sh [tests per speed] [speeds]
#   (default 5 tests at 12,60,120 WPM; with speeds, e.g. "60", only the
#   timing of those; "stop": only Stop to silence)
#   DISK=1: through SDL's disk driver at its real-time pace instead of
#   the server (the timing only).
#   STALL_MS=N: the window's thread held up N ms every 2 s.
#   NO_BUILD=1: use the built bench as it is (e.g. run as another user,
#   whose audio thread gets no raised priority).
#   Each load also counts the server's underruns of the stream.
#   RESPONSE=1: the one-character drill's response time instead: keys
#   pressed at known delays after each character's end on the monitor,
#   [tests per speed] characters under each load.
#   VOICE=1: the spoken answer's start after each item's end, heard on
#   the monitor (build/bench/voice_bench pulse), under each load.
#   BAND=only: band conditions instead, under each load: the SNR heard at
#   -5, 0, 10 and 20 dB, and at 60 WPM with every condition on, the share
#   of a core and the dropouts, against every condition off.
set -euo pipefail
cd "$(dirname "$0")/.."
TESTS=${1:-5}
SPEEDS=${2:-}
BUILD_DIR=${BUILD_DIR:-build}

need=()
[ -n "${NO_BUILD:-}" ] || for p in pulseaudio pulseaudio-utils xvfb; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || need+=("$p")
done
if ((${#need[@]})); then
  SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}"
fi
if [ -z "${NO_BUILD:-}" ]; then
  cmake -S . -B "$BUILD_DIR" -DDRAVIK_BENCH=ON >/dev/null
  cmake --build "$BUILD_DIR" -j2 --target sound_bench response_bench voice_bench >/dev/null
fi

work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  XDG_RUNTIME_DIR=$work pulseaudio --kill 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

export XDG_RUNTIME_DIR=$work
chmod 700 "$work"
export HOME=$work
pulseaudio --daemonize=yes --exit-idle-time=-1 --disallow-exit -n --log-level=debug \
  --log-target="file:$work/pulse.log" \
  --load="module-native-protocol-unix" --load="module-null-sink sink_name=bench rate=48000" 2>/dev/null
for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pactl set-default-sink bench

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
sleep 1
export DISPLAY=$display QT_QPA_PLATFORM=xcb SDL_AUDIODRIVER=pulseaudio
[ -z "${DISK:-}" ] || export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/out.raw"

# idle; busy: two busy loops (both cores); heavy: eight busy processes at
# normal priority, more than the cores can run.
for load in ${LOADS:-idle busy heavy}; do
  loops=0
  [ "$load" = busy ] && loops=2
  [ "$load" = heavy ] && loops=${HEAVY_LOOPS:-8}
  for _ in $(seq "$loops"); do (while :; do :; done) & pids+=($!); done
  if [ -n "${RESPONSE:-}" ]; then
    "$BUILD_DIR/bench/response_bench" "$TESTS"
  elif [ -n "${VOICE:-}" ]; then
    "$BUILD_DIR/bench/voice_bench" pulse
  elif [ "${BAND:-}" = only ]; then
    "$BUILD_DIR/bench/sound_bench" band "$TESTS"
  else
    "$BUILD_DIR/bench/sound_bench" "$load" "$TESTS" $SPEEDS
  fi
  # Each test's stream ends in one underrun once its last sample is
  # played; "Actual" ones the sink needed data for at once.
  actual=$(grep -ac "Actual underrun of 'Morse tone'" "$work/pulse.log" || true)
  implicit=$(grep -ac "Implicit underrun of 'Morse tone'" "$work/pulse.log" || true)
  echo "$load: server underruns of the stream: actual $((actual - ${seen_a:-0})), implicit $((implicit - ${seen_i:-0}))"
  seen_a=$actual seen_i=$implicit
  for p in "${pids[@]:1}"; do kill "$p" 2>/dev/null || true; done
  pids=("${pids[0]}")
done
[ -n "$SPEEDS" ] || [ -n "${BAND:-}" ] || [ -n "${RESPONSE:-}" ] || [ -n "${VOICE:-}" ] || "$BUILD_DIR/bench/sound_bench" shapes "$TESTS"
