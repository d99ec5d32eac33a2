#!/usr/bin/env bash
# The program's CPU share while it records a 60-second call from a real sound server (its own
# PulseAudio with a 440 Hz sine source at 11025 Hz), in every codec; then once with the tone
# stand-in for comparison. Target: under 2 % of one core.
#   bash bench/recording_cpu.sh [BUILD_DIR] [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}
SECONDS_PER_CALL=${2:-60}
cmake --build "$BUILD" --target recording_cpu >/dev/null
source bench/pulse_server.sh
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
for item in 0 1 2 3 4; do
    "$BUILD/bench/recording_cpu" "$SECONDS_PER_CALL" "--codec=$item"
done
"$BUILD/bench/recording_cpu" "$SECONDS_PER_CALL" --audio-input=tone
