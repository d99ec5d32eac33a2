#!/usr/bin/env bash
# Builds the program and starts it. Until the desktop program exists this is the
# table tool; any arguments are passed on to it (no arguments: its usage text).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j "$(nproc)" --target tabletool
exec build/tableengine/tabletool "$@"
