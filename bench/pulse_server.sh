# Shared by the benchmarks that need a sound server (sourced, not run): starts a PulseAudio
# server of their own in a temporary folder, with a 440 Hz sine source at 11025 Hz as the default
# input and a null sink as the default output, points this shell's children at it (offscreen Qt,
# PULSE_SERVER) and stops it when the script ends.
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
