// The converter: its plans, the buffering of its stages, and the analysis conversion.
#include <gtest/gtest.h>

#include "AudioTestSupport.h"
#include "AudioTexts.h"
#include "CodecTable.h"
#include "EAudioError.h"
#include "TdeAudioConvertor.h"
#include "TdeConversionStage.h"

using namespace audiotest;

namespace {

const TdeWaveFormat kPcm16 = TdeWaveFormat::Pcm(1, 11025, 16);

std::string ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const EAudioError& e) {
        return e.what();
    }
    return "";
}

}  // namespace

TEST(ConverterPlan, CaptureReachesEveryCodecThroughSixteenBitMonoPcm) {
    for (int i = 0; i < CodecTable::kCount; ++i) {
        SCOPED_TRACE(i);
        const TdeWaveFormat codec = *CodecTable::Format(i);
        const auto plan = TdeAudioConvertor::MakePlan(CodecTable::CaptureFormat(), codec);
        ASSERT_EQ(plan.size(), 3u);
        EXPECT_EQ(plan[0], CodecTable::CaptureFormat());
        EXPECT_EQ(plan[1], kPcm16);
        EXPECT_EQ(plan[2], codec);
    }
}

TEST(ConverterPlan, DirectWhenOneStreamCanAndThroughPcmOnTheWayBack) {
    // The analysis converter: PCM to PCM in one stage.
    auto plan =
        TdeAudioConvertor::MakePlan(CodecTable::CaptureFormat(), CodecTable::AnalysisFormat());
    EXPECT_EQ(plan.size(), 2u);
    plan = TdeAudioConvertor::MakePlan(kPcm16, *CodecTable::Format(2));
    EXPECT_EQ(plan.size(), 2u);
    // The player's direction: a codec into a playback format that is not the codec's PCM.
    const TdeWaveFormat playback = TdeWaveFormat::Pcm(2, 44100, 16);
    plan = TdeAudioConvertor::MakePlan(*CodecTable::Format(3), playback);
    ASSERT_EQ(plan.size(), 3u);
    EXPECT_EQ(plan[1], kPcm16);
    EXPECT_EQ(plan[2], playback);
    // Codec to codec goes through PCM as well.
    plan = TdeAudioConvertor::MakePlan(*CodecTable::Format(0), *CodecTable::Format(4));
    ASSERT_EQ(plan.size(), 3u);
    EXPECT_EQ(plan[1], kPcm16);
}

TEST(ConverterPlan, NoPlanMeansConversionNotPossibleAndTheConverterStaysClosed) {
    TdeWaveFormat unknown = *CodecTable::Format(0);
    unknown.SetFormatTag(0x0160);
    TdeAudioConvertor c;
    c.SetInputFormat(CodecTable::CaptureFormat());
    c.SetOutputFormat(unknown);
    EXPECT_EQ(ErrorOf([&] { c.Open(); }), "Conversion not possible.");
    EXPECT_FALSE(c.Active());
    EXPECT_EQ(ErrorOf([&] { c.Convert(std::vector<uint8_t>(10)); }),
              "Cannot perform this action while not active.");
    // A PCM format the PCM stage cannot make (24 bits) has no plan either.
    c.SetOutputFormat(TdeWaveFormat::Pcm(1, 11025, 24));
    EXPECT_EQ(ErrorOf([&] { c.Open(); }), "Conversion not possible.");
}

TEST(Converter, FormatsAreFixedWhileOpen) {
    TdeAudioConvertor c;
    c.SetInputFormat(CodecTable::CaptureFormat());
    c.SetOutputFormat(*CodecTable::Format(0));
    c.Open();
    EXPECT_EQ(ErrorOf([&] { c.SetOutputFormat(*CodecTable::Format(1)); }),
              "Cannot perform this action while active.");
    EXPECT_EQ(ErrorOf([&] { c.Open(); }), "Cannot perform this action while active.");
    c.Close();
    c.Close();
    c.SetOutputFormat(*CodecTable::Format(1));
    c.Open();
    EXPECT_EQ(c.StageCount(), 2u);
}

TEST(Converter, ImaAdpcmGetsWholeBlocksOnlyAndThePartialTailIsDropped) {
    TdeAudioConvertor c;
    c.SetInputFormat(CodecTable::CaptureFormat());
    c.SetOutputFormat(*CodecTable::Format(2));
    std::vector<uint8_t> out;
    std::vector<size_t> pieces;
    c.Subscribe([&](TdeAudioConvertor&, std::span<const uint8_t> d) {
        pieces.push_back(d.size());
        out.insert(out.end(), d.begin(), d.end());
    });
    c.Open();
    const auto audio = CaptureTone(440, 2.0);  // 22050 frames
    Feed(c, audio);
    c.Close();
    for (size_t p : pieces) EXPECT_EQ(p % 256, 0u) << p;
    // 22050 samples hold 43 whole blocks of 505; the last 335 samples are not encoded.
    EXPECT_EQ(out.size(), 22050u / 505 * 256);
    // The first capture block (1380 samples) already holds two whole blocks.
    ASSERT_FALSE(pieces.empty());
    EXPECT_EQ(pieces[0], 512u);
}

TEST(Converter, NothingComesOutBeforeTheFirstWholeBlock) {
    TdeAudioConvertor c;
    c.SetInputFormat(CodecTable::CaptureFormat());
    c.SetOutputFormat(*CodecTable::Format(2));
    std::vector<uint8_t> out;
    Collect(c, out);
    c.Open();
    const auto audio = CaptureTone(440, 1.0);
    // Blocks of 100 capture frames: 505 samples are complete with the sixth block.
    for (int i = 0; i < 5; ++i) {
        c.Convert(std::span(audio).subspan(size_t(i) * 200, 200));
        EXPECT_TRUE(out.empty()) << i;
        EXPECT_FALSE(c.Stage(1).Prepared()) << i;
    }
    c.Convert(std::span(audio).subspan(1000, 200));
    EXPECT_EQ(out.size(), 256u);
    EXPECT_TRUE(c.Stage(1).Prepared());
    EXPECT_EQ(c.Stage(1).Held(), (600u - 505) * 2);  // the rest waits for the next block
}

TEST(ConversionStage, InputBufferGrowsUntilTheFirstBlockThenIsFixedAtThreeTimesIt) {
    TdeConversionStage stage(kPcm16, *CodecTable::Format(3));  // GSM: 640-byte blocks
    std::vector<uint8_t> piece(300, 0);
    EXPECT_TRUE(stage.Push(piece).empty());
    EXPECT_EQ(stage.InputCapacity(), 600u);  // twice the 300 bytes held
    EXPECT_TRUE(stage.Push(piece).empty());  // 600 fit: no growth
    EXPECT_EQ(stage.InputCapacity(), 600u);
    const auto out = stage.Push(piece);  // 900 bytes: one whole block
    EXPECT_EQ(out.size(), 65u);
    EXPECT_TRUE(stage.Prepared());
    EXPECT_EQ(stage.InputCapacity(), 2700u);
    EXPECT_GE(stage.OutputCapacity(), 4u * 65);
    EXPECT_EQ(stage.Held(), 260u);
    // 2440 more bytes still fit beside the 260 held; one more does not.
    EXPECT_EQ(stage.Push(std::vector<uint8_t>(2440)).size(), 4u * 65);
    EXPECT_EQ(stage.Held(), 140u);
    EXPECT_EQ(ErrorOf([&] { stage.Push(std::vector<uint8_t>(2561)); }),
              "Audio is too large to fit into conversion buffer");
    // The refused block left the stage as it was.
    EXPECT_EQ(stage.Held(), 140u);
    EXPECT_EQ(stage.Push(std::vector<uint8_t>(500)).size(), 65u);
}

TEST(Converter, AnOversizedCaptureBlockAfterTheFirstIsRefused) {
    TdeAudioConvertor c;
    c.SetInputFormat(CodecTable::CaptureFormat());
    c.SetOutputFormat(*CodecTable::Format(0));
    c.Open();
    c.Convert(std::vector<uint8_t>(400, 128));
    EXPECT_NO_THROW(c.Convert(std::vector<uint8_t>(1200, 128)));
    EXPECT_EQ(ErrorOf([&] { c.Convert(std::vector<uint8_t>(1202, 128)); }),
              "Audio is too large to fit into conversion buffer");
}

TEST(Converter, StereoIsMixedIntoMonoAndEightBitsWidenToSixteen) {
    TdeAudioConvertor c;
    c.SetInputFormat(CodecTable::CaptureFormat());
    c.SetOutputFormat(kPcm16);
    std::vector<uint8_t> out;
    Collect(c, out);
    c.Open();
    c.Convert(std::vector<uint8_t>{128, 128, 255, 1, 200, 100, 0, 0, 255, 255});
    const auto s = ToSamples(out);
    EXPECT_EQ(s, (std::vector<int16_t>{0, 0, 5632, -32768, 32512}));
}

TEST(Converter, AnalysisConversionResamplesTheToneToEightKilohertz) {
    TdeAudioConvertor c;
    c.SetInputFormat(CodecTable::CaptureFormat());
    c.SetOutputFormat(CodecTable::AnalysisFormat());
    std::vector<uint8_t> out;
    Collect(c, out);
    c.Open();
    Feed(c, CaptureTone(440, 3.0, 100));
    // 3 s at 8000 Hz, to within the one sample interpolation holds back.
    EXPECT_NEAR(double(out.size()), 24000.0, 2.0);
    std::vector<int16_t> wide(out.size());
    for (size_t i = 0; i < out.size(); ++i) wide[i] = int16_t((out[i] - 128) * 256);
    ExpectTone(wide, 440, 100 * 256 / std::sqrt(2.0), "analysis", 8000);
}

TEST(Converter, ASubscriberMayCloseTheConverterWhileItIsCalled) {
    TdeAudioConvertor c;
    c.SetInputFormat(CodecTable::CaptureFormat());
    c.SetOutputFormat(*CodecTable::Format(0));
    int calls = 0;
    c.Subscribe([&](TdeAudioConvertor& sender, std::span<const uint8_t>) {
        ++calls;
        sender.Close();
    });
    c.Subscribe([&](TdeAudioConvertor&, std::span<const uint8_t>) { ++calls; });
    c.Open();
    c.Convert(std::vector<uint8_t>(2760, 128));
    EXPECT_EQ(calls, 1);  // closed: the second subscriber gets nothing more
    EXPECT_FALSE(c.Active());
    EXPECT_EQ(c.StageCount(), 0u);
    c.Open();
    EXPECT_TRUE(c.Active());
}

TEST(Converter, ASubscriberErrorLeavesTheConverterOpenAndConsistent) {
    TdeAudioConvertor c;
    c.SetInputFormat(CodecTable::CaptureFormat());
    c.SetOutputFormat(*CodecTable::Format(0));
    bool fail = true;
    size_t got = 0;
    c.Subscribe([&](TdeAudioConvertor&, std::span<const uint8_t> d) {
        if (fail) throw EAudioError("disk full");
        got += d.size();
    });
    c.Open();
    EXPECT_EQ(ErrorOf([&] { c.Convert(std::vector<uint8_t>(2760, 128)); }), "disk full");
    EXPECT_TRUE(c.Active());
    fail = false;
    c.Convert(std::vector<uint8_t>(2760, 128));
    EXPECT_EQ(got, 1380u);
}
