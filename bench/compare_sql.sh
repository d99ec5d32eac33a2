#!/usr/bin/env bash
# The program's kind of search over a 100,000-call table: a LIKE with one more condition, run as
# a whole process by `tabletool sql` on the table file and by sqlite3 on an unindexed table with
# the same rows; median of several runs, output discarded.
#
#   bench/compare_sql.sh [RECORDS]          (BUILD_DIR picks the build folder; default "build")
set -euo pipefail
cd "$(dirname "$0")/.."
RECORDS=${1:-100000}
source bench/calls_compare.sh

# One statement, the same text for both.
QUERIES=(
    "SELECT * FROM calls WHERE calls.memo LIKE '%call back%' AND calls.channel = 1"
    "SELECT * FROM calls WHERE calls.memo LIKE '%urgent%' AND calls.channel = 1"
    "SELECT callID FROM calls WHERE calls.callerID LIKE '%55%' AND calls.Date >= '2026-06-01'"
)

# Both must select the same calls before anything is timed.
for q in "${QUERIES[@]}"; do
    tt_ids=$("$TABLETOOL" sql "$WORK" "$q" | tail -n +2 | cut -f1 | sort | md5sum)
    sq_ids=$(sqlite3 "$WORK/calls.db" "$q" | cut -d'|' -f1 | sort | md5sum)
    if [ "$tt_ids" != "$sq_ids" ]; then
        echo "results differ for: $q" >&2
        exit 1
    fi
done

echo "$RECORDS calls: table file $(stat -c %s "$WORK/Calls.d") bytes," \
    "sqlite database $(stat -c %s "$WORK/calls.db") bytes; timing: $how (each a new process)"
for q in "${QUERIES[@]}"; do
    rows=$(sqlite3 "$WORK/calls.db" "$q" | wc -l)
    tt=$($measure "$TABLETOOL" sql "$WORK" "$q")
    sq=$($measure sqlite3 "$WORK/calls.db" "$q")
    echo "$q  ($rows rows)"
    printf '  %-10s %10s %10s\n' "" "wall ms" "CPU ms" "tabletool" $tt "sqlite3" $sq
done
