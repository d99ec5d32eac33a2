#!/usr/bin/env bash
# Encoder speed against ffmpeg, in one run: first the codec benchmarks (each encoder alone, CPU
# time, multiples of real time), then the same input (16-bit mono at 11025 Hz, two tones and a
# little noise) encoded into each codec of the codec table as a whole process, by our
# `wav_encode` and by ffmpeg with its encoder of the same codec. Process times are CPU time
# (user + system), best of RUNS; the start-up cost of each program (the same run on one second
# of input) is taken off before the multiple of real time is worked out.
#
#   bench/compare_codecs_ffmpeg.sh [SECONDS]    (BUILD_DIR picks the build folder; default "build")
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_OF_AUDIO=${1:-1200}
BUILD_DIR=${BUILD_DIR:-build}
RUNS=${RUNS:-3}

bash scripts/deps.sh
if [ ! -f "$BUILD_DIR/build.ninja" ]; then
    cmake -S . -B "$BUILD_DIR" -G Ninja
fi
cmake --build "$BUILD_DIR" --target codecs_bench wav_encode >/dev/null
WAV_ENCODE=$BUILD_DIR/bench/wav_encode

WORK=$(mktemp -d /tmp/pelm_codecs_XXXXXX)
trap 'rm -rf "$WORK"' EXIT

echo "== Encoders alone (Google Benchmark, CPU time)"
"$BUILD_DIR/bench/codecs_bench" --benchmark_filter='BM_Encode|BM_RecordingPath' \
    --benchmark_min_time=0.5 --benchmark_counters_tabular=true

# The same signal as the benchmarks' input.
make_input() {
    ffmpeg -nostdin -v error -y -f lavfi \
        -i "aevalsrc=0.4*sin(2*PI*440*t)+0.1*sin(2*PI*1234*t)+0.05*(random(0)-0.5):s=11025:d=$1" \
        -f s16le -acodec pcm_s16le -ac 1 "$2"
}
make_input "$SECONDS_OF_AUDIO" "$WORK/long.raw"
make_input 1 "$WORK/short.raw"

# ffmpeg's encoder for each item, set up as ours: A-law, mu-law, IMA ADPCM in 256-byte blocks,
# GSM 6.10 in the WAV49 framing at 11025 Hz, MP3 at 16 kbit/s with LAME quality 5 and no bit
# reservoir.
FFMPEG_CODEC=(
    "-c:a pcm_alaw"
    "-c:a pcm_mulaw"
    "-c:a adpcm_ima_wav -block_size 256"
    "-c:a libgsm_ms -strict unofficial"
    "-c:a libmp3lame -b:a 16k -compression_level 5 -reservoir 0"
)
NAMES=("a-Law" "u-Law" "IMA ADPCM" "GSM" "MP3")

# cpu_seconds CMD...: the best CPU time (user + system) of the command over RUNS runs.
cpu_seconds() {
    python3 - "$RUNS" "$@" <<'PY'
import resource, subprocess, sys
runs, cmd = int(sys.argv[1]), sys.argv[2:]
best = None
for _ in range(runs):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    # (ffmpeg's GSM encoder warns about the 11025 Hz rate that -strict unofficial lets through)
    subprocess.run(cmd, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    t = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
    best = t if best is None else min(best, t)
print(f"{best:.4f}")
PY
}

ffmpeg_encode() {  # ffmpeg_encode ITEM IN OUT
    # shellcheck disable=SC2086
    echo ffmpeg -nostdin -v error -y -threads 1 -f s16le -ar 11025 -ac 1 -i "$2" \
        ${FFMPEG_CODEC[$1]} -f wav "$3"
}

echo
echo "== Whole process, $SECONDS_OF_AUDIO s of input (CPU seconds, start-up taken off; x real time)"
printf "%-10s %12s %12s %12s %12s %10s %10s\n" codec ours_cpu_s ffmpeg_cpu_s ours_xRT ffmpeg_xRT ours_KB ffmpeg_KB
for item in 0 1 2 3 4; do
    ours_long=$(cpu_seconds "$WAV_ENCODE" "$item" "$WORK/long.raw" "$WORK/ours.wav")
    ours_short=$(cpu_seconds "$WAV_ENCODE" "$item" "$WORK/short.raw" "$WORK/ours_short.wav")
    # shellcheck disable=SC2046
    ff_long=$(cpu_seconds $(ffmpeg_encode "$item" "$WORK/long.raw" "$WORK/ff.wav"))
    # shellcheck disable=SC2046
    ff_short=$(cpu_seconds $(ffmpeg_encode "$item" "$WORK/short.raw" "$WORK/ff_short.wav"))
    python3 - "${NAMES[$item]}" "$SECONDS_OF_AUDIO" "$ours_long" "$ours_short" "$ff_long" \
        "$ff_short" "$(stat -c %s "$WORK/ours.wav")" "$(stat -c %s "$WORK/ff.wav")" <<'PY'
import sys
name, secs = sys.argv[1], float(sys.argv[2])
ol, os_, fl, fs = map(float, sys.argv[3:7])
ob, fb = int(sys.argv[7]), int(sys.argv[8])
def xrt(long, short):
    work = long - short
    return f"{(secs - 1) / work:.0f}" if work > 0.0005 else "n/a (below timer)"
print(f"{name:<10} {ol:12.3f} {fl:12.3f} {xrt(ol, os_):>12} {xrt(fl, fs):>12} {ob // 1024:10d} {fb // 1024:10d}")
PY
done
