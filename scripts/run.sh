#!/usr/bin/env bash
# Builds the program and starts it. Arguments are passed on to the program (for example
# STARTUP or KUDOX). With no display, set QT_QPA_PLATFORM=offscreen.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j "$(nproc)" --target Pelmorant tabletool
exec build/core/app/Pelmorant "$@"
