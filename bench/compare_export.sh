#!/usr/bin/env bash
# "Export data" of 100,000 calls in each format (the program's own export, each run a fresh
# process that loads Calls.d and writes the file, flushed to the disk) against sqlite3 writing
# the same twelve columns of the same rows from an unindexed table into a file (.output; not
# flushed), with -csv for the quoted formats, -separator for tab and -json standing for the XML
# document. Median wall time and mean CPU time.
#
#   bench/compare_export.sh [RECORDS]        (BUILD_DIR picks the build folder; default "build")
set -euo pipefail
cd "$(dirname "$0")/.."
RECORDS=${1:-100000}
source bench/calls_compare.sh
cmake --build "$BUILD_DIR" --target export_calls >/dev/null
EXPORT=$BUILD_DIR/bench/export_calls
COLUMNS="callID, Channel, Date, startTime, stopTime, inOut, dtmf, callerID, Memo, mediumLabel, fileName, fileSize"
SELECT="select $COLUMNS from calls"

echo "timing: $how (each a new process); load average: $(cut -d' ' -f1-3 /proc/loadavg)"
printf '  %-44s %10s %10s   %-30s %10s %10s\n' "" "wall ms" "CPU ms" "" "wall ms" "CPU ms"
for format in 0 1 2 3; do
    case $format in
        0) name="tab"; mode=(-header -separator $'\t') ;;
        1) name="comma"; mode=(-header -csv) ;;
        2) name="semicolon"; mode=(-header -csv -separator ';') ;;
        3) name="XML"; mode=(-json) ;;
    esac
    sq=(sqlite3 "${mode[@]}" -cmd ".output $WORK/sqlite.out" "$WORK/calls.db" "$SELECT")
    ours=$($measure "$EXPORT" "$WORK" "$format")
    theirs=$($measure "${sq[@]}")
    printf '  %-44s %10s %10s   %-30s %10s %10s\n' "export_calls ($name)" $ours "sqlite3 ($name)" $theirs
done
