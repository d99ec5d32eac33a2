// Wave formats, the codec table and the result-code messages.
#include <gtest/gtest.h>

#include <vector>

#include "AudioTexts.h"
#include "CodecTable.h"
#include "EAudioError.h"
#include "TdeWaveFormat.h"

namespace {

std::vector<uint8_t> Head(const TdeWaveFormat& f, size_t n) {
    return {f.Bytes().begin(), f.Bytes().begin() + long(n)};
}

}  // namespace

TEST(WaveFormat, FreshFormatIsEightBitStereoPcmAndZeroBehind) {
    const TdeWaveFormat f;
    const std::vector<uint8_t> expected{0x01, 0x00, 0x02, 0x00, 0x11, 0x2B, 0x00, 0x00, 0x22,
                                        0x56, 0x00, 0x00, 0x02, 0x00, 0x08, 0x00, 0x00, 0x00};
    EXPECT_EQ(Head(f, 18), expected);
    for (size_t i = 18; i < TdeWaveFormat::kBufferSize; ++i) ASSERT_EQ(f.Bytes()[i], 0) << i;
    EXPECT_EQ(f, CodecTable::CaptureFormat());
    EXPECT_EQ(f.FmtChunkSize(), 16u);
}

TEST(WaveFormat, EqualityLooksAtEveryByteAndNewExtraBytesClearTheOldOnes) {
    TdeWaveFormat a, b;
    const uint8_t one[] = {1, 2, 3, 4};
    const uint8_t other[] = {1, 2, 3, 5};
    a.SetExtra(one);
    b.SetExtra(other);
    EXPECT_NE(a, b);  // only the last extra byte differs
    const uint8_t shorter[] = {1, 2};
    a.SetExtra(shorter);
    b.SetExtra(shorter);
    EXPECT_EQ(a, b);  // bytes 3 and 4 of the longer extra are gone from both
    a.SetExtra({});
    EXPECT_EQ(a, TdeWaveFormat());
}

TEST(WaveFormat, MoreThan494ExtraBytesAreRefusedAndTheFormatStaysAsItWas) {
    TdeWaveFormat f;
    std::vector<uint8_t> extra(494, 0xAB);
    f.SetExtra(extra);
    EXPECT_EQ(f.ExtraSize(), 494);
    EXPECT_EQ(f.Bytes()[511], 0xAB);
    const TdeWaveFormat before = f;
    extra.push_back(0xCD);
    try {
        f.SetExtra(extra);
        FAIL() << "no error";
    } catch (const EAudioError& e) {
        EXPECT_STREQ(e.what(), "The wave format buffer is too small.");
    }
    EXPECT_EQ(f, before);

    // The same limit when a format comes from a file.
    std::vector<uint8_t> chunk(18 + 495, 0);
    chunk[0] = 0x11;
    chunk[16] = uint8_t(495 & 0xFF);
    chunk[17] = uint8_t(495 >> 8);
    EXPECT_THROW(TdeWaveFormat::FromBytes(chunk), EAudioError);
    chunk[16] = 2;
    chunk[17] = 0;
    chunk.resize(19);  // announces 2 extra bytes, holds 1
    EXPECT_THROW(TdeWaveFormat::FromBytes(chunk), EAudioError);
}

TEST(CodecTable, TheFiveFormatsByteForByte) {
    ASSERT_EQ(CodecTable::kCount, 5);
    const std::vector<std::vector<uint8_t>> expected{
        // a-Law: tag 6, mono, 11025 Hz, 11025 B/s, align 1, 8 bits, no extra bytes.
        {0x06, 0x00, 0x01, 0x00, 0x11, 0x2B, 0x00, 0x00, 0x11, 0x2B, 0x00, 0x00, 0x01, 0x00, 0x08,
         0x00, 0x00, 0x00},
        {0x07, 0x00, 0x01, 0x00, 0x11, 0x2B, 0x00, 0x00, 0x11, 0x2B, 0x00, 0x00, 0x01, 0x00, 0x08,
         0x00, 0x00, 0x00},
        // IMA ADPCM: 5588 B/s, align 256, 4 bits, 505 samples per block.
        {0x11, 0x00, 0x01, 0x00, 0x11, 0x2B, 0x00, 0x00, 0xD4, 0x15,
         0x00, 0x00, 0x00, 0x01, 0x04, 0x00, 0x02, 0x00, 0xF9, 0x01},
        // GSM 6.10: 2239 B/s, align 65, 0 bits, 320 samples per block.
        {0x31, 0x00, 0x01, 0x00, 0x11, 0x2B, 0x00, 0x00, 0xBF, 0x08,
         0x00, 0x00, 0x41, 0x00, 0x00, 0x00, 0x02, 0x00, 0x40, 0x01},
        // MP3: 2000 B/s, align 1, ID 1, flags 2 (uint32), block 104, 1 frame, delay 1393.
        {0x55, 0x00, 0x01, 0x00, 0x11, 0x2B, 0x00, 0x00, 0xD0, 0x07, 0x00, 0x00, 0x01, 0x00, 0x00,
         0x00, 0x0C, 0x00, 0x01, 0x00, 0x02, 0x00, 0x00, 0x00, 0x68, 0x00, 0x01, 0x00, 0x71, 0x05},
    };
    const char* names[] = {"a-Law", "u-Law", "IMA ADPCM", "GSM", "MP3"};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        const auto f = CodecTable::Format(i);
        ASSERT_TRUE(f);
        EXPECT_EQ(Head(*f, expected[size_t(i)].size()), expected[size_t(i)]);
        for (size_t b = expected[size_t(i)].size(); b < TdeWaveFormat::kBufferSize; ++b)
            ASSERT_EQ(f->Bytes()[b], 0) << b;
        EXPECT_STREQ(CodecTable::ItemName(i), names[i]);
        EXPECT_EQ(f->FmtChunkSize(), expected[size_t(i)].size());
    }
    EXPECT_FALSE(CodecTable::Format(-1));
    EXPECT_FALSE(CodecTable::Format(5));
    EXPECT_STREQ(CodecTable::ItemName(5), "");
}

TEST(CodecTable, AnalysisFormatIsEightKilohertzEightBitMono) {
    const TdeWaveFormat f = CodecTable::AnalysisFormat();
    EXPECT_EQ(f.FormatTag(), 1);
    EXPECT_EQ(f.Channels(), 1);
    EXPECT_EQ(f.SamplesPerSec(), 8000u);
    EXPECT_EQ(f.AvgBytesPerSec(), 8000u);
    EXPECT_EQ(f.BlockAlign(), 1);
    EXPECT_EQ(f.BitsPerSample(), 8);
    EXPECT_EQ(f.ExtraSize(), 0);
}

TEST(AudioTexts, ResultCodesCarryTheFailingStepInFront) {
    using AudioTexts::ResultCodeMessage;
    EXPECT_EQ(ResultCodeMessage(AudioTexts::kOpenInput, 2),
              "Error opening audio device for input.\nBad device ID.");
    EXPECT_EQ(ResultCodeMessage("", 32),
              "The selected audio format is not supported on this machine.");
    EXPECT_EQ(ResultCodeMessage("Step.", 514),
              "Step.\nCannot perform this action on a header that has not been prepared.");
    EXPECT_EQ(ResultCodeMessage("Step.", 9), "Step.\nAn unexpected error has occurred (code #9).");
    EXPECT_EQ(ResultCodeMessage("Step.", -5),
              "Step.\nAn unexpected error has occurred (code #-5).");
    EXPECT_EQ(ResultCodeMessage("Step.", 0), "");
    // Every listed code has its own text.
    for (int code : {2, 3, 4, 5, 6, 7, 8, 10, 11, 12, 32, 33, 34, 35, 512, 513, 514})
        EXPECT_EQ(ResultCodeMessage("", code).find("unexpected"), std::string::npos) << code;
}
