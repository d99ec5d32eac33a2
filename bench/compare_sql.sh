#!/usr/bin/env bash
# The program's kind of search over a 100,000-call table: a LIKE with one more condition, run as
# a whole process by `tabletool sql` on the table file and by sqlite3 on an unindexed table with
# the same rows; median of several runs, output discarded.
#
#   bench/compare_sql.sh [RECORDS]          (BUILD_DIR picks the build folder; default "build")
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

WORK=$(mktemp -d /tmp/pelm_sql_XXXXXX)
trap 'rm -rf "$WORK"' EXIT

"$CALLS_GEN" "$WORK/Calls.d" "$WORK/calls.tsv" "$RECORDS"
sqlite3 "$WORK/calls.db" <<EOF2
CREATE TABLE calls (
    callID TEXT, Channel INTEGER, FolderId TEXT, Date TEXT, startTime TEXT, stopTime TEXT,
    inOut INTEGER, dtmf TEXT, callerID TEXT, Memo TEXT, mediumLabel TEXT, mediumType INTEGER,
    fileName TEXT, fileSize INTEGER, bool1 TEXT, bool2 TEXT, bool3 TEXT, bool4 TEXT,
    st1 TEXT, st2 TEXT, st3 TEXT, st4 TEXT, real1 REAL, real2 REAL, real3 REAL, real4 REAL);
.mode tabs
.import --skip 1 $WORK/calls.tsv calls
EOF2

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

median_ms() {  # runs the command RUNS times after two warm-up runs; prints the median in ms
    local times=() i start end
    for i in 1 2; do "$@" >/dev/null; done
    for ((i = 0; i < RUNS; i++)); do
        start=$(date +%s%N)
        "$@" >/dev/null
        end=$(date +%s%N)
        times+=($(((end - start) / 1000)))
    done
    printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {printf "%.1f ms", a[int((NR+1)/2)]/1000}'
}

hyperfine_ms() {  # median wall time and mean CPU time (user + system) of a hyperfine run, in ms
    local json=$WORK/hyperfine.json
    hyperfine -N --warmup 3 --runs "$RUNS" --export-json "$json" "$(printf '%q ' "$@")" \
        >/dev/null 2>&1
    python3 -c "import json,sys; r=json.load(open(sys.argv[1]))['results'][0]; print('%.1f ms   (cpu %.1f ms)' % (r['median']*1000, (r['user']+r['system'])*1000))" \
        "$json"
}

if command -v hyperfine >/dev/null; then
    measure=hyperfine_ms
    how="hyperfine, median wall time of $RUNS runs and mean CPU time"
else
    measure=median_ms
    how="date +%s%N loop, median of $RUNS runs"
fi

echo "$RECORDS calls: table file $(stat -c %s "$WORK/Calls.d") bytes," \
    "sqlite database $(stat -c %s "$WORK/calls.db") bytes; timing: $how (each a new process)"
for q in "${QUERIES[@]}"; do
    rows=$(sqlite3 "$WORK/calls.db" "$q" | wc -l)
    tt=$($measure "$TABLETOOL" sql "$WORK" "$q")
    sq=$($measure sqlite3 "$WORK/calls.db" "$q")
    echo "$q  ($rows rows)"
    printf '  %-10s %s\n' "tabletool" "$tt" "sqlite3" "$sq"
done
