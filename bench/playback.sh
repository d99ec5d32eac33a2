#!/usr/bin/env bash
# The player on a real sound server (its own PulseAudio with a 440 Hz sine source and a null
# sink as the sound card): for a GSM and an MP3 recording of SECONDS, the time from "Play" and
# from "Fast forward" to the first buffer handed to the device (goal: under 100 ms each) and the
# program's CPU share while it plays (goal: under 2 % of one core).
#   bash bench/playback.sh [BUILD_DIR] [SECONDS]
set -euo pipefail
BUILD=${1:-build}
SECONDS_PER_CALL=${2:-20}
cmake --build "$BUILD" --target playback_cpu >/dev/null
T=$(mktemp -d)
mkdir -p "$T/pa"
chmod 700 "$T/pa"
export XDG_RUNTIME_DIR="$T/pa" PULSE_SERVER="unix:$T/pa/native" QT_QPA_PLATFORM=offscreen
HOME="$T" pulseaudio --daemonize=no --exit-idle-time=-1 --system=false -n \
    --load="module-native-protocol-unix auth-anonymous=1 socket=$T/pa/native" \
    --load="module-null-sink sink_name=nullsink" \
    --load="module-sine-source source_name=sine rate=11025 frequency=440" >"$T/pa.log" 2>&1 &
PA=$!
trap 'kill $PA 2>/dev/null; wait $PA 2>/dev/null; rm -rf "$T"' EXIT
for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pactl set-default-source sine
pactl set-default-sink nullsink
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
for item in 3 4; do
    "$BUILD/bench/playback_cpu" "$SECONDS_PER_CALL" "--codec=$item" ${EXTRA:-}
done
