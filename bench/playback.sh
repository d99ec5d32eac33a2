#!/usr/bin/env bash
# The player on a real sound server (its own PulseAudio with a 440 Hz sine source and a null
# sink as the sound card): for a GSM and an MP3 recording of SECONDS, the time from "Play" and
# from "Fast forward" to the first buffer handed to the device (goal: under 100 ms each) and the
# program's CPU share while it plays (goal: under 2 % of one core).
#   bash bench/playback.sh [BUILD_DIR] [SECONDS] [--no-seeks]
# (a fast forward every two seconds of the play, unless --no-seeks)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}
SECONDS_PER_CALL=${2:-20}
cmake --build "$BUILD" --target playback_cpu >/dev/null
source bench/pulse_server.sh
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
for item in 3 4; do
    "$BUILD/bench/playback_cpu" "$SECONDS_PER_CALL" "--codec=$item" ${3:-}
done
