// The WAV files: the writer's exact layout, its behaviour when the disk fills up, and the
// reader on our files and on files from elsewhere.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "AudioTestSupport.h"
#include "AudioTexts.h"
#include "CodecTable.h"
#include "EAudioError.h"
#include "TdeFileSink.h"
#include "TdeRIFFAudioReader.h"
#include "TdeRIFFAudioWriter.h"

using namespace audiotest;
namespace fs = std::filesystem;

namespace {

std::string Text(std::span<const uint8_t> b, size_t at) {
    return std::string(reinterpret_cast<const char*>(b.data() + at), 4);
}

std::string ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const EAudioError& e) {
        return e.what();
    }
    return "";
}

class TempDir : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("pelm_riff_" + std::to_string(::getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    fs::path dir;
};

// A chunk: id, little-endian size, body, and a pad byte after an odd body when asked.
void Chunk(std::vector<uint8_t>& out, const char* id, std::span<const uint8_t> body,
           bool pad = true) {
    out.insert(out.end(), id, id + 4);
    const uint32_t n = uint32_t(body.size());
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(n >> (8 * i)));
    out.insert(out.end(), body.begin(), body.end());
    if (pad && (n & 1)) out.push_back(0);
}

std::vector<uint8_t> Riff(std::span<const uint8_t> chunks, uint32_t riffLength = 0xFFFFFFFF) {
    std::vector<uint8_t> f{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
    f.insert(f.end(), chunks.begin(), chunks.end());
    if (riffLength == 0xFFFFFFFF) riffLength = uint32_t(f.size() - 8);
    for (int i = 0; i < 4; ++i) f[4 + size_t(i)] = uint8_t(riffLength >> (8 * i));
    return f;
}

std::span<const uint8_t> FormatBody(const TdeWaveFormat& f) {
    return std::span(f.Bytes().data(), 18 + f.ExtraSize());
}

}  // namespace

// The layout for each codec of the table, after a 2-second recording of the capture tone.
class WavLayout : public ::testing::TestWithParam<int> {};

TEST_P(WavLayout, HeaderLengthsAndFormatBytes) {
    const int item = GetParam();
    const TdeWaveFormat format = *CodecTable::Format(item);
    MemorySink sink;
    ASSERT_EQ(Record(sink, format, CaptureTone(440, 2.0)), "");
    const auto& b = sink.bytes;
    const uint32_t n = item < 2 ? 18 : item < 4 ? 20 : 30;
    const size_t header = 28 + n;
    EXPECT_EQ(header, std::vector<size_t>({46, 46, 48, 48, 58})[size_t(item)]);
    ASSERT_GT(b.size(), header);
    EXPECT_EQ(Text(b, 0), "RIFF");
    EXPECT_EQ(Get32(b, 4), b.size() - 8);
    EXPECT_EQ(Text(b, 8), "WAVE");
    EXPECT_EQ(Text(b, 12), "fmt ");
    EXPECT_EQ(Get32(b, 16), n);
    EXPECT_EQ(0, std::memcmp(b.data() + 20, format.Bytes().data(), n));
    EXPECT_EQ(Text(b, 20 + n), "data");
    EXPECT_EQ(Get32(b, 24 + n), b.size() - header);
    // No fact chunk, nothing after the audio.
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(b.data()), b.size()).find("fact"),
              std::string::npos);

    const size_t data = b.size() - header;
    switch (item) {
        case 0:
        case 1:
            EXPECT_EQ(data, 22050u);  // one byte a sample, nothing held back
            break;
        case 2:
            EXPECT_EQ(data, 22050u / 505 * 256);  // whole blocks only
            break;
        case 3:
            EXPECT_EQ(data, 22050u / 320 * 65);
            break;
        case 4: {
            const std::vector<uint8_t> extra{0x01, 0x00, 0x02, 0x00, 0x00, 0x00,
                                             0x68, 0x00, 0x01, 0x00, 0x71, 0x05};
            EXPECT_EQ(std::vector<uint8_t>(b.begin() + 36, b.begin() + 38),
                      (std::vector<uint8_t>{12, 0}));
            EXPECT_EQ(std::vector<uint8_t>(b.begin() + 38, b.begin() + 50), extra);
            EXPECT_EQ(b[58], 0xFF);  // the audio starts with a frame
            // About 2000 bytes a second, less the encoder's delay.
            EXPECT_GT(data, 3300u);
            EXPECT_LT(data, 4100u);
            break;
        }
    }

    const TdeRIFFAudioInfo info = TdeRIFFAudioReader::Parse(b);
    EXPECT_EQ(info.format, format);
    EXPECT_EQ(info.dataOffset, header);
    EXPECT_EQ(info.dataLength, data);
    EXPECT_FALSE(info.factSamples);
}

INSTANTIATE_TEST_SUITE_P(EveryCodec, WavLayout, ::testing::Range(0, CodecTable::kCount));

TEST(WavWriter, PcmHasTheSixteenByteFormatChunkWithoutTheExtraSize) {
    MemorySink sink;
    const TdeWaveFormat pcm = TdeWaveFormat::Pcm(1, 8000, 8);
    {
        TdeRIFFAudioWriter w(sink, pcm);
        w.Write(std::vector<uint8_t>(5, 0x80));
    }
    ASSERT_EQ(sink.bytes.size(), 44u + 5);
    EXPECT_EQ(Get32(sink.bytes, 16), 16u);
    EXPECT_EQ(Text(sink.bytes, 36), "data");
    EXPECT_EQ(Get32(sink.bytes, 40), 5u);
    // Odd-sized data: no pad byte, and the RIFF length is the file length - 8 all the same.
    EXPECT_EQ(Get32(sink.bytes, 4), 41u);
}

TEST(WavWriter, LengthsAreZeroUntilClosedAndBlocksGoOutUnchanged) {
    MemorySink sink;
    TdeRIFFAudioWriter w(sink, *CodecTable::Format(0));
    const std::vector<uint8_t> a{1, 2, 3}, b{4, 5};
    w.Write(a);
    EXPECT_EQ(Get32(sink.bytes, 4), 0u);
    EXPECT_EQ(Get32(sink.bytes, 42), 0u);
    w.Write(b);
    w.Write({});
    w.Close();
    EXPECT_EQ(std::vector<uint8_t>(sink.bytes.begin() + 46, sink.bytes.end()),
              (std::vector<uint8_t>{1, 2, 3, 4, 5}));
    EXPECT_EQ(Get32(sink.bytes, 42), 5u);
    EXPECT_EQ(Get32(sink.bytes, 4), 43u);
    EXPECT_EQ(ErrorOf([&] { w.Write(a); }), "Cannot perform this action while not active.");
}

// A call cut off at any moment (a crash, a power cut) leaves a valid WAV file up to its last
// checkpoint: the lengths follow the audio about every 5 seconds, and the file is flushed then.
TEST(WavWriter, LengthsFollowTheAudioAtEveryCheckpointWhileTheFileGrows) {
    for (int item : {0, 2, 3}) {
        MemorySink sink;
        const TdeWaveFormat format = *CodecTable::Format(item);
        TdeRIFFAudioWriter w(sink, format);
        const uint64_t step = w.CheckpointBytes();
        EXPECT_EQ(step, 5u * format.AvgBytesPerSec()) << item;
        const uint32_t header = w.HeaderLength();
        const std::vector<uint8_t> block(format.BlockAlign() * 7, 0x55);
        uint64_t written = 0;
        while (written < 12 * uint64_t(format.AvgBytesPerSec())) {
            w.Write(block);
            written += block.size();
            const uint32_t data = Get32(sink.bytes, header - 4);
            // Never more than was written, never more than one checkpoint behind.
            ASSERT_LE(data, written) << item;
            ASSERT_GT(data + step + block.size(), written) << item;
            ASSERT_EQ(data % format.BlockAlign(), 0u) << item;  // whole blocks only
            // What a reader sees is the audio up to the last checkpoint.
            if (data > 0) {
                ASSERT_EQ(Get32(sink.bytes, 4), header - 8 + data) << item;
                ASSERT_EQ(TdeRIFFAudioReader::Parse(sink.bytes).dataLength, data);
            }
        }
        EXPECT_EQ(w.Checkpoints(), 2) << item;
        EXPECT_EQ(sink.flushes, 2) << item;
        w.Close();
        EXPECT_EQ(Get32(sink.bytes, header - 4), written) << item;
    }
}

TEST(WavWriterDiskFull, AFlushThatFailsStopsTheRecordingAsAFailedWriteDoes) {
    MemorySink sink;
    sink.flushError = EIO;
    TdeRIFFAudioWriter w(sink, *CodecTable::Format(0));
    const std::vector<uint8_t> block(w.CheckpointBytes() / 2 + 1, 1);
    w.Write(block);
    EXPECT_EQ(ErrorOf([&] { w.Write(block); }),
              "Error writing the recording file: Input/output error");
    EXPECT_TRUE(w.Failed());
    w.Close();
    EXPECT_EQ(Get32(sink.bytes, 42), 2 * block.size());
    EXPECT_EQ(sink.bytes.size(), 46 + 2 * block.size());
}

TEST_F(TempDir, ACallStoppedBeforeTheFirstBlockLeavesAnEmptyFile) {
    const fs::path file = dir / "rec.wav";
    WriteAll(file, std::vector<uint8_t>(100, 7));  // an old file is replaced
    {
        TdeFileSink sink(file);
        TdeRIFFAudioWriter writer(sink, *CodecTable::Format(2));
        TdeAudioConvertor c;
        c.SetInputFormat(CodecTable::CaptureFormat());
        c.SetOutputFormat(*CodecTable::Format(2));
        c.Subscribe([&](TdeAudioConvertor&, std::span<const uint8_t> d) { writer.Write(d); });
        c.Open();
        c.Convert(std::vector<uint8_t>(800, 128));  // 400 samples: less than one block
        c.Close();
        writer.Close();
    }
    EXPECT_EQ(fs::file_size(file), 0u);
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(TempDir, AFileThatCannotBeCreatedIsReportedWithTheReason) {
    const fs::path file = dir / "gone" / "rec.wav";
    EXPECT_EQ(ErrorOf([&] { TdeFileSink sink(file); }),
              "Can not create the recording file " + file.string() + ": No such file or directory");
}

TEST(WavWriterDiskFull, TheWriteErrorIsReportedAndTheFileEndsAfterTheLastWholeWrite) {
    MemorySink sink;
    // Full in the middle of the second piece the converter delivers (two IMA blocks from the
    // first capture block, three from the second).
    sink.capacity = 48 + 3 * 256 + 100;
    const TdeWaveFormat ima = *CodecTable::Format(2);
    const std::string error = Record(sink, ima, CaptureTone(440, 3.0));
    EXPECT_EQ(error, "Error writing the recording file: No space left on device");
    // The part of the failed piece that got onto the disk is cut off again.
    ASSERT_EQ(sink.bytes.size(), 48u + 2 * 256);
    EXPECT_EQ(Get32(sink.bytes, 4), sink.bytes.size() - 8);
    EXPECT_EQ(Get32(sink.bytes, 44), 2u * 256);
    const auto info = TdeRIFFAudioReader::Parse(sink.bytes);
    EXPECT_EQ(info.dataLength, 2u * 256);
}

TEST(WavWriterDiskFull, AfterAFailureNothingMoreIsWrittenAndEveryWriteSaysWhy) {
    MemorySink sink;
    sink.capacity = 46 + 10;
    TdeRIFFAudioWriter w(sink, *CodecTable::Format(0));
    w.Write(std::vector<uint8_t>(10, 1));
    const std::string full = "Error writing the recording file: No space left on device";
    EXPECT_EQ(ErrorOf([&] { w.Write(std::vector<uint8_t>(3, 2)); }), full);
    EXPECT_TRUE(w.Failed());
    sink.capacity.reset();  // space again: the recording stays stopped all the same
    const int writes = sink.writes;
    EXPECT_EQ(ErrorOf([&] { w.Write(std::vector<uint8_t>(3, 2)); }), full);
    EXPECT_EQ(sink.writes, writes);
    w.Close();
    EXPECT_EQ(sink.bytes.size(), 56u);
    EXPECT_EQ(Get32(sink.bytes, 42), 10u);
    EXPECT_EQ(Get32(sink.bytes, 4), 48u);
}

TEST(WavWriterDiskFull, NoRoomEvenForTheHeaderLeavesAnEmptyFile) {
    MemorySink sink;
    sink.capacity = 20;
    TdeRIFFAudioWriter w(sink, *CodecTable::Format(4));
    EXPECT_NE(ErrorOf([&] { w.Write(std::vector<uint8_t>(104, 0xFF)); }), "");
    w.Close();
    EXPECT_TRUE(sink.bytes.empty());
}

TEST(WavWriterDiskFull, TheRealFileSinkReportsTheSystemsReason) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    TdeFileSink sink("/dev/full");
    TdeRIFFAudioWriter w(sink, *CodecTable::Format(0));
    EXPECT_EQ(ErrorOf([&] { w.Write(std::vector<uint8_t>(10, 1)); }),
              "Error writing the recording file: No space left on device");
}

namespace {
// Takes every write without keeping it: room for the largest WAV file.
class CountingSink : public IAudioFileSink {
public:
    uint64_t end = 0;
    bool WriteAt(uint64_t offset, std::span<const uint8_t> b) override {
        end = std::max(end, offset + b.size());
        return true;
    }
    bool Truncate(uint64_t size) override {
        end = size;
        return true;
    }
    std::string Error() const override { return ""; }
};
}  // namespace

TEST(WavWriter, ARecordingStopsBeforeItsLengthsWouldOverflow) {
    CountingSink sink;
    TdeRIFFAudioWriter w(sink, *CodecTable::Format(0));
    const std::vector<uint8_t> block(64u << 20);
    std::string error;
    for (int i = 0; i < 80 && error.empty(); ++i) error = ErrorOf([&] { w.Write(block); });
    EXPECT_EQ(error, AudioTexts::kFileTooLarge);
    EXPECT_LE(w.DataLength() + 46 - 8, 0xFFFFFFFFull);
    EXPECT_EQ(sink.end, 46 + w.DataLength());
}

TEST(WavReader, PassesOverFactListAndOddChunksWithOrWithoutPadByte) {
    const TdeWaveFormat f = *CodecTable::Format(3);
    const std::vector<uint8_t> fact{0x40, 0x1F, 0, 0}, list{'I', 'N', 'F', 'O', 'x'};
    const std::vector<uint8_t> audio(130, 0x11);
    std::vector<uint8_t> chunks;
    Chunk(chunks, "fmt ", FormatBody(f));
    Chunk(chunks, "fact", fact);
    Chunk(chunks, "LIST", list, true);
    Chunk(chunks, "data", audio);
    auto file = Riff(chunks);
    auto info = TdeRIFFAudioReader::Parse(file);
    EXPECT_EQ(info.format, f);
    EXPECT_EQ(info.factSamples, 8000u);
    EXPECT_EQ(info.dataLength, 130u);
    EXPECT_EQ(file[info.dataOffset], 0x11);

    chunks.clear();
    Chunk(chunks, "LIST", list, false);  // a writer that forgot the pad byte
    Chunk(chunks, "fmt ", FormatBody(f));
    Chunk(chunks, "data", audio);
    file = Riff(chunks);
    info = TdeRIFFAudioReader::Parse(file);
    EXPECT_EQ(info.format, f);
    EXPECT_EQ(info.dataLength, 130u);
}

TEST(WavReader, DataLengthsAreKeptInsideTheFile) {
    const TdeWaveFormat f = *CodecTable::Format(0);
    std::vector<uint8_t> chunks;
    Chunk(chunks, "fmt ", FormatBody(f));
    Chunk(chunks, "data", std::vector<uint8_t>(100, 1));
    auto file = Riff(chunks);
    file.resize(file.size() - 40);  // cut off: the data length claims 40 bytes too many
    auto info = TdeRIFFAudioReader::Parse(file);
    EXPECT_EQ(info.dataLength, 60u);

    // A recording whose lengths were never filled in (the program ended on the way).
    auto unfinished = TdeRIFFAudioWriter::Header(f, 0, 0);
    unfinished.resize(unfinished.size() + 77, 0xD5);
    info = TdeRIFFAudioReader::Parse(unfinished);
    EXPECT_EQ(info.dataOffset, 46u);
    EXPECT_EQ(info.dataLength, 77u);
}

TEST(WavReader, BrokenAndForeignFilesAreRefusedWithAReason) {
    const TdeWaveFormat f = *CodecTable::Format(0);
    const std::string notWav = "The file is not a WAV file.";
    EXPECT_EQ(ErrorOf([] { TdeRIFFAudioReader::Parse(std::vector<uint8_t>{}); }), notWav);
    std::vector<uint8_t> chunks;
    Chunk(chunks, "fmt ", FormatBody(f));
    Chunk(chunks, "data", std::vector<uint8_t>(4, 1));
    auto file = Riff(chunks);
    file[8] = 'A';  // "AAVE"
    EXPECT_EQ(ErrorOf([&] { TdeRIFFAudioReader::Parse(file); }), notWav);

    const std::string damaged = AudioTexts::kDamagedWaveFile;
    chunks.clear();
    Chunk(chunks, "data", std::vector<uint8_t>(4, 1));
    EXPECT_EQ(ErrorOf([&] { TdeRIFFAudioReader::Parse(Riff(chunks)); }).find(damaged), 0u);
    chunks.clear();
    Chunk(chunks, "fmt ", FormatBody(f));
    EXPECT_EQ(ErrorOf([&] { TdeRIFFAudioReader::Parse(Riff(chunks)); }).find(damaged), 0u);
    // A format chunk that claims more than the file holds.
    file = Riff(chunks);
    file[16] = 0xFF;
    file[17] = 0xFF;
    EXPECT_EQ(ErrorOf([&] { TdeRIFFAudioReader::Parse(file); }).find(damaged), 0u);
    // A format with no channels would divide by zero further on.
    TdeWaveFormat none = f;
    none.SetChannels(0);
    chunks.clear();
    Chunk(chunks, "fmt ", FormatBody(none));
    Chunk(chunks, "data", std::vector<uint8_t>(4, 1));
    EXPECT_EQ(ErrorOf([&] { TdeRIFFAudioReader::Parse(Riff(chunks)); }).find(damaged), 0u);
    // More extra bytes than the buffer takes.
    std::vector<uint8_t> big(18 + 600, 0);
    big[0] = 0x11;
    big[2] = 1;
    big[4] = 1;
    big[12] = 1;
    big[16] = uint8_t(600 & 0xFF);
    big[17] = uint8_t(600 >> 8);
    chunks.clear();
    Chunk(chunks, "fmt ", big);
    Chunk(chunks, "data", std::vector<uint8_t>(4, 1));
    EXPECT_EQ(ErrorOf([&] { TdeRIFFAudioReader::Parse(Riff(chunks)); }),
              "The wave format buffer is too small.");
    EXPECT_EQ(ErrorOf([] { TdeRIFFAudioReader::ReadFile("/nonexistent/x.wav"); }),
              "Can not read the file /nonexistent/x.wav");
}

TEST(WavReader, RandomDamageNeverReadsOutsideTheFile) {
    MemorySink sink;
    Record(sink, *CodecTable::Format(4), CaptureTone(440, 0.5));
    std::mt19937 rng(11);
    for (int round = 0; round < 3000; ++round) {
        std::vector<uint8_t> file = sink.bytes;
        const int changes = 1 + int(rng() % 6);
        for (int i = 0; i < changes; ++i) file[rng() % 70] = uint8_t(rng());
        if (rng() % 3 == 0) file.resize(rng() % file.size());
        try {
            const auto info = TdeRIFFAudioReader::Parse(file);
            ASSERT_LE(info.dataOffset + info.dataLength, file.size());
            ASSERT_GT(info.format.Channels(), 0);
            ASSERT_GT(info.format.BlockAlign(), 0);
        } catch (const EAudioError&) {
        }
    }
}

TEST_F(TempDir, TheReaderReadsARecordingFromDisk) {
    const fs::path file = dir / "call.mp3";  // a WAV file whatever its name
    {
        TdeFileSink sink(file);
        ASSERT_EQ(Record(sink, *CodecTable::Format(4), CaptureTone(440, 1.0)), "");
    }
    const auto info = TdeRIFFAudioReader::ReadFile(file);
    EXPECT_EQ(info.format.FormatTag(), WaveTag::kMpegLayer3);
    EXPECT_EQ(info.format.FmtChunkSize(), 30u);
    EXPECT_EQ(info.dataOffset, 58u);
    EXPECT_EQ(info.dataOffset + info.dataLength, fs::file_size(file));
}
