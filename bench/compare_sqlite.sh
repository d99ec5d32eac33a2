#!/usr/bin/env bash
# Loading a 100,000-call table: `tabletool check` on the table file against sqlite3 counting the
# same rows in an unindexed table, each run as a fresh process: the median wall time of several
# runs and their mean CPU time (user + system).
#
#   bench/compare_sqlite.sh [RECORDS]        (BUILD_DIR picks the build folder; default "build")
set -euo pipefail
cd "$(dirname "$0")/.."
RECORDS=${1:-100000}
source bench/calls_compare.sh

# Both must see every row before anything is timed.
tt_count=$("$TABLETOOL" check "$WORK/Calls.d")
sq_count=$(sqlite3 "$WORK/calls.db" 'select count(*) from calls')
if [ "$tt_count" != "$RECORDS" ] || [ "$sq_count" != "$RECORDS" ]; then
    echo "row counts differ: tabletool $tt_count, sqlite3 $sq_count, expected $RECORDS" >&2
    exit 1
fi
echo "$RECORDS rows: table file $(stat -c %s "$WORK/Calls.d") bytes," \
    "sqlite database $(stat -c %s "$WORK/calls.db") bytes"

TT_CMD=("$TABLETOOL" check "$WORK/Calls.d")
SQ_CMD=(sqlite3 "$WORK/calls.db" 'select count(*) from calls')
# count(*) alone reads every page but decodes no row; this one reads a column of every row.
SQ_SCAN_CMD=(sqlite3 "$WORK/calls.db" "select count(*) from calls where fileName <> ''")

tt=$($measure "${TT_CMD[@]}")
sq=$($measure "${SQ_CMD[@]}")
sq_scan=$($measure "${SQ_SCAN_CMD[@]}")

echo "timing: $how (each a new process); load average: $(cut -d' ' -f1-3 /proc/loadavg)"
printf '  %-58s %10s %10s\n' "" "wall ms" "CPU ms"
row() { printf '  %-58s %10s %10s\n' "$1" $2; }
row "tabletool check Calls.d" "$tt"
row "sqlite3 calls.db 'select count(*) from calls'" "$sq"
row "sqlite3 calls.db \"... where fileName <> ''\" (reads rows)" "$sq_scan"
