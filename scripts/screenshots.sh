#!/usr/bin/env bash
# Pictures of the main window in its four views, taken on a virtual X display (Xvfb) over fresh
# settings, written to docs/screenshots/ (logger.png, search.png, monitor.png, alarms.png).
# BUILD_DIR chooses the build folder (default: build).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
BUILD="${BUILD_DIR:-build}"
cmake -S . -B "$BUILD" -G Ninja >/dev/null
cmake --build "$BUILD" -j "$(nproc)" --target pelm_screenshots
OUT="$PWD/docs/screenshots"
mkdir -p "$OUT"
xvfb-run -a -s "-screen 0 1280x800x24" \
    env QT_QPA_PLATFORM=xcb "$BUILD/tests/gui/pelm_screenshots" "$OUT"
