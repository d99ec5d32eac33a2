# Shared by the sqlite comparisons (sourced, not run): builds tabletool and the generator, writes
# RECORDS generated calls as a table file ($WORK/Calls.d) and as an unindexed sqlite table
# ($WORK/calls.db), and defines `measure`, which runs a command as a fresh process and prints its
# median wall time and mean CPU time in ms ("-" for the CPU time when hyperfine is missing).
# Reads RECORDS (default 100000), BUILD_DIR (default "build") and RUNS (default 15).
RECORDS=${RECORDS:-100000}
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

median_ms() {  # runs the command RUNS times after two warm-up runs; the median, no CPU time
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

hyperfine_ms() {  # the median wall time and the mean CPU time (user + system) of a hyperfine run
    local json=$WORK/hyperfine.json
    hyperfine -N --warmup 3 --runs "$RUNS" --export-json "$json" "$(printf '%q ' "$@")" \
        >/dev/null 2>&1
    python3 -c "import json,sys; r=json.load(open(sys.argv[1]))['results'][0]; print('%.1f %.1f' % (r['median']*1000, (r['user']+r['system'])*1000))" \
        "$json"
}

if command -v hyperfine >/dev/null; then
    measure=hyperfine_ms
    how="hyperfine, median wall time of $RUNS runs and mean CPU time"
else
    measure=median_ms
    how="date +%s%N loop, median of $RUNS runs"
fi
