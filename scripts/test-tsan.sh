#!/usr/bin/env bash
# The ThreadSanitizer build (PELM_TSAN=ON) of the layers whose classes are used from worker
# threads (the event log, the tables, the record steps of workers, the alarm queue and the alarm
# e-mail, the storage runs), and their tests (of the supervision tests, the alarms' only). Qt is not built with the sanitizer: tests/tsan.supp hides hand-overs inside Qt's
# own libraries only.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
JOBS=$(nproc)
TARGETS=(core_tests database_tests database_widget_tests browsing_tests supervision_mail_tests
    supervision_tests supervision_storage_tests)
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPELM_TSAN=ON -DPELM_BENCH=OFF
cmake --build build-tsan -j "$JOBS" --target "${TARGETS[@]}"
export TSAN_OPTIONS="suppressions=$PWD/tests/tsan.supp halt_on_error=1 second_deadlock_stack=1"
export QT_QPA_PLATFORM=offscreen
for t in "${TARGETS[@]}"; do
    bin=$(find build-tsan/tests -type f -name "$t" -perm -u+x | head -n 1)
    echo "== ThreadSanitizer: $t"
    if [ "$t" = supervision_tests ]; then "$bin" --gtest_filter='AlarmsTest.*'; else "$bin"; fi
done
