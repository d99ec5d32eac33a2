// Encoder speed in multiples of real time on one core (CPU time): each codec of the codec table
// encoding 16-bit mono at 11025 Hz; and the whole recording path per codec, from 8-bit stereo
// capture blocks through the converter into the WAV writer.
#include <benchmark/benchmark.h>

#include <cstring>

#include "CodecInput.h"
#include "CodecTable.h"
#include "IAudioFileSink.h"
#include "TdeAudioCodecs.h"
#include "TdeAudioConvertor.h"
#include "TdeRIFFAudioWriter.h"

namespace {

constexpr double kSeconds = 10;

const char* const kNames[] = {"ALaw", "MuLaw", "ImaAdpcm", "Gsm", "Mp3"};

// Encodes 10 s per iteration in capture-sized pieces (2760 bytes, 1/8 s of 16-bit mono).
void BM_Encode(benchmark::State& state) {
    const int item = int(state.range(0));
    state.SetLabel(kNames[item]);
    const auto input = codecbench::Input(kSeconds);
    auto encoder =
        TdeAudioCodecs::OpenStream(TdeWaveFormat::Pcm(1, 11025, 16), *CodecTable::Format(item));
    std::vector<uint8_t> out;
    out.reserve(input.size());
    std::vector<uint8_t> held;
    for (auto _ : state) {
        out.clear();
        for (size_t at = 0; at < input.size(); at += 2760) {
            const size_t n = std::min<size_t>(2760, input.size() - at);
            held.insert(held.end(), input.begin() + long(at), input.begin() + long(at + n));
            const size_t used = encoder->Convert(held, out);
            held.erase(held.begin(), held.begin() + long(used));
        }
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["xRealTime"] =
        benchmark::Counter(kSeconds, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["bytes"] = double(out.size());
}
BENCHMARK(BM_Encode)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

class NullSink : public IAudioFileSink {
public:
    bool WriteAt(uint64_t, std::span<const uint8_t> b) override {
        benchmark::DoNotOptimize(b.data());
        return true;
    }
    bool Truncate(uint64_t) override { return true; }
    std::string Error() const override { return ""; }
};

// The recording path: capture blocks (8-bit stereo) → 16-bit mono → codec → writer.
void BM_RecordingPath(benchmark::State& state) {
    const int item = int(state.range(0));
    state.SetLabel(kNames[item]);
    // The capture: the benchmark input as 8-bit stereo.
    const auto mono = codecbench::Input(kSeconds);
    std::vector<uint8_t> capture(mono.size());
    for (size_t i = 0; i < mono.size() / 2; ++i)
        capture[2 * i] = capture[2 * i + 1] = uint8_t((mono[2 * i + 1] ^ 0x80));
    for (auto _ : state) {
        NullSink sink;
        TdeRIFFAudioWriter writer(sink, *CodecTable::Format(item));
        TdeAudioConvertor convertor;
        convertor.SetInputFormat(CodecTable::CaptureFormat());
        convertor.SetOutputFormat(*CodecTable::Format(item));
        convertor.Subscribe(
            [&writer](TdeAudioConvertor&, std::span<const uint8_t> d) { writer.Write(d); });
        convertor.Open();
        for (size_t at = 0; at < capture.size(); at += 2760)
            convertor.Convert(
                std::span(capture).subspan(at, std::min<size_t>(2760, capture.size() - at)));
        convertor.Close();
        writer.Close();
    }
    state.counters["xRealTime"] =
        benchmark::Counter(kSeconds, benchmark::Counter::kIsIterationInvariantRate);
    // The share of one core a live recording takes for conversion and writing.
    state.counters["corePercent"] =
        benchmark::Counter(kSeconds / 100.0, benchmark::Counter::kIsIterationInvariantRate |
                                                 benchmark::Counter::kInvert);
}
BENCHMARK(BM_RecordingPath)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
