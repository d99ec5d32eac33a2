#!/usr/bin/env bash
# Loading a 100,000-call table: `tabletool check` on the table file against sqlite3 counting the
# same rows in an unindexed table, each run as a fresh process: the median wall time of several
# runs and their mean CPU time (user + system).
#
#   bench/compare_sqlite.sh [RECORDS]        (BUILD_DIR picks the build folder; default "build")
set -euo pipefail
cd "$(dirname "$0")/.."
RECORDS=${1:-100000}
BUILD_DIR=${BUILD_DIR:-build}
RUNS=${RUNS:-15}

bash scripts/deps.sh
if [ ! -f "$BUILD_DIR/build.ninja" ]; then
    cmake -S . -B "$BUILD_DIR" -G Ninja
fi
cmake --build "$BUILD_DIR" --target tabletool calls_gen >/dev/null
TABLETOOL=$BUILD_DIR/tableengine/tabletool
CALLS_GEN=$BUILD_DIR/bench/calls_gen

WORK=$(mktemp -d /tmp/pelm_compare_XXXXXX)
trap 'rm -rf "$WORK"' EXIT

"$CALLS_GEN" "$WORK/Calls.d" "$WORK/calls.tsv" "$RECORDS"
sqlite3 "$WORK/calls.db" <<EOF
CREATE TABLE calls (
    callID TEXT, Channel INTEGER, FolderId TEXT, Date TEXT, startTime TEXT, stopTime TEXT,
    inOut INTEGER, dtmf TEXT, callerID TEXT, Memo TEXT, mediumLabel TEXT, mediumType INTEGER,
    fileName TEXT, fileSize INTEGER, bool1 TEXT, bool2 TEXT, bool3 TEXT, bool4 TEXT,
    st1 TEXT, st2 TEXT, st3 TEXT, st4 TEXT, real1 REAL, real2 REAL, real3 REAL, real4 REAL);
.mode tabs
.import --skip 1 $WORK/calls.tsv calls
EOF

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

median_ms() {  # runs the command RUNS times after two warm-up runs; prints the median in ms
    # (no CPU time: "-" stands for it)
    local times=() i start end
    for i in 1 2; do "$@" >/dev/null; done
    for ((i = 0; i < RUNS; i++)); do
        start=$(date +%s%N)
        "$@" >/dev/null
        end=$(date +%s%N)
        times+=($(((end - start) / 1000)))
    done
    printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {printf "%.1f -", a[int((NR+1)/2)]/1000}'
}

hyperfine_ms() {  # the median wall time and the mean CPU time (user + system) of a hyperfine run, in ms
    local json=$WORK/hyperfine.json
    hyperfine -N --warmup 3 --runs "$RUNS" --export-json "$json" "$(printf '%q ' "$@")" \
        >/dev/null 2>&1
    python3 -c "import json,sys; r=json.load(open(sys.argv[1]))['results'][0]; print('%.1f %.1f' % (r['median']*1000, (r['user']+r['system'])*1000))" \
        "$json"
}

if command -v hyperfine >/dev/null; then
    measure=hyperfine_ms
    how="hyperfine, median of $RUNS runs"
else
    measure=median_ms
    how="date +%s%N loop, median of $RUNS runs"
fi
tt=$($measure "${TT_CMD[@]}")
sq=$($measure "${SQ_CMD[@]}")
sq_scan=$($measure "${SQ_SCAN_CMD[@]}")

echo "timing: $how (each a new process); load average: $(cut -d' ' -f1-3 /proc/loadavg)"
printf '  %-58s %10s %10s\n' "" "wall ms" "CPU ms"
row() { printf '  %-58s %10s %10s\n' "$1" $2; }
row "tabletool check Calls.d" "$tt"
row "sqlite3 calls.db 'select count(*) from calls'" "$sq"
row "sqlite3 calls.db \"... where fileName <> ''\" (reads rows)" "$sq_scan"
