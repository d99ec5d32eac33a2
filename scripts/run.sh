#!/usr/bin/env bash
# Builds the program and starts it. Arguments are passed on to the program (for example
# STARTUP, KUDOX or --audio-input=tone). With no display, set QT_QPA_PLATFORM=offscreen.
#
# Calls are recorded from the sound card's default input. When no sound server answers (no
# sound card, a container) and no input was chosen, the program is started with its stand-in
# microphone, a 440 Hz tone, so that calls can still be recorded.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j "$(nproc)" --target Pelmorant tabletool
chosen=${PELMORANT_AUDIO_INPUT:-}
for a in "$@"; do
    case "$a" in --audio-input=*) chosen=$a ;; esac
done
if [ -z "$chosen" ] && ! timeout 5 pactl info >/dev/null 2>&1; then
    echo "run.sh: no sound server answers; recording from a 440 Hz tone instead of a microphone" \
         "(choose with --audio-input=device|tone[:HZ]|wav:PATH)" >&2
    export PELMORANT_AUDIO_INPUT=tone
fi
exec build/core/app/Pelmorant "$@"
