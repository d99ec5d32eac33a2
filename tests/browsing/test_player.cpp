// The player over a wave output that plays nothing: the pieces and the pre-fill, the end when
// the last buffer comes back, the seeks at the edges, pause, the time labels, the backup
// medium, every codec, damaged recordings and a device that goes away.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>

#include "BrowsingTexts.h"
#include "CodecTable.h"
#include "DatabaseFixture.h"
#include "FakeWaveOutput.h"
#include "TLiveSettings.h"
#include "TPlayer.h"
#include "TOneVolume.h"
#include "TVolumeSpace.h"
#include "TdeAudioConvertor.h"
#include "TdeFileSink.h"
#include "TdeRIFFAudioWriter.h"

namespace {

QByteArray Ramp(int bytes) {
    QByteArray data(bytes, '\0');
    for (int i = 0; i < bytes; ++i) data[i] = static_cast<char>(i * 7 % 251);
    return data;
}

// A PCM recording written byte by byte: `lengths` false leaves both lengths 0, as an
// interrupted recording does.
void WritePcm(const QString& path, int rate, int bits, const QByteArray& data, bool lengths = true) {
    const int align = bits / 8;
    QByteArray f = "RIFF";
    auto u32 = [&f](quint32 v) { f.append(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&f](quint16 v) { f.append(reinterpret_cast<const char*>(&v), 2); };
    u32(lengths ? 36 + data.size() : 0);
    f += "WAVEfmt ";
    u32(16);
    u16(1);
    u16(1);
    u32(rate);
    u32(rate * align);
    u16(align);
    u16(bits);
    f += "data";
    u32(lengths ? data.size() : 0);
    f += data;
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(f);
}

// One second of a 440 Hz tone in a codec of the codec table, as a recording writes it.
void WriteCodec(const QString& path, int item) {
    std::vector<uint8_t> pcm(11025 * 2);
    for (size_t i = 0; i < pcm.size() / 2; ++i) {
        const auto s = static_cast<int16_t>(8000 * std::sin(2 * M_PI * 440 * i / 11025.0));
        pcm[2 * i] = static_cast<uint8_t>(s & 0xFF);
        pcm[2 * i + 1] = static_cast<uint8_t>((s >> 8) & 0xFF);
    }
    TdeFileSink sink(QFile::encodeName(path).toStdString());
    TdeRIFFAudioWriter writer(sink, *CodecTable::Format(item));
    TdeAudioConvertor c;
    c.SetInputFormat(TdeWaveFormat::Pcm(1, 11025, 16));
    c.SetOutputFormat(*CodecTable::Format(item));
    c.Subscribe([&writer](TdeAudioConvertor&, std::span<const uint8_t> d) { writer.Write(d); });
    c.Open();
    for (size_t at = 0; at < pcm.size(); at += 2760)
        c.Convert(std::span(pcm).subspan(at, std::min<size_t>(2760, pcm.size() - at)));
    c.Close();
    writer.Close();
}

class PlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        TMessages::Install(&messages);
        settings.edtFolder = dir.path() + "/rec/";
        QDir().mkpath(settings.edtFolder);
        player = std::make_unique<TPlayer>(settings, device);
        player->CurrentCall = [this] { return call; };
        player->UpdateFileActions = [this] { ++fileActionUpdates; };
    }
    void TearDown() override {
        player.reset();
        TVolumeSpace::Install(nullptr);
        TMessages::Install(nullptr);
    }
    // A row of the main medium for `file`.
    void Row(const QString& file, const QString& label = "Main storage medium") {
        call = TPlayer::Call{label, file, "2026-12-10", "09:30:00", "about the order"};
    }

    QTemporaryDir dir;
    RecordingMessages messages;
    TLiveSettings settings;
    FakeWaveOutput device;
    std::unique_ptr<TPlayer> player;
    std::optional<TPlayer::Call> call;
    int fileActionUpdates = 0;
};

}  // namespace

TEST_F(PlayerTest, PlaysEveryPieceInOrderAndEndsWithTheLastBufferBack) {
    const QByteArray data = Ramp(2000);  // 8-bit PCM at 1000 bytes/s: pieces of 250 bytes
    WritePcm(settings.edtFolder + "a.wav", 1000, 8, data);
    Row("a.wav");
    player->Play();
    ASSERT_EQ(player->PlayerState(), TPlayer::Playing);
    EXPECT_EQ(player->PieceSize(), 250);
    // The pre-fill: two pieces read, the first held back until the second came.
    EXPECT_EQ(player->DataPosition(), 500);
    EXPECT_EQ(device.Queue.size(), 2u);
    EXPECT_EQ(player->Output().Outstanding(), 2);
    EXPECT_EQ(player->View().Description, "2026-12-10  09:30:00  about the order");
    EXPECT_EQ(player->View().Total, "Total Time 00:00:02");
    EXPECT_EQ(player->View().Elapsed, "00:00:00");  // 0.5 s: the half goes to the even 0
    EXPECT_TRUE(player->View().PlayDown);
    EXPECT_TRUE(player->View().WaveVisible);

    // Each buffer back brings the next piece; the position bar shows the position before it.
    device.PlayOne();
    EXPECT_EQ(player->DataPosition(), 750);
    EXPECT_EQ(player->View().Position, 500);
    // All read: the buffers still out keep it playing; the last one back ends it.
    EXPECT_EQ(device.Ends, 0);
    while (player->DataPosition() < 2000) device.PlayOne();
    EXPECT_EQ(device.Ends, 1);  // the end went with the last piece
    EXPECT_EQ(player->PlayerState(), TPlayer::Playing);
    EXPECT_GT(player->Output().Outstanding(), 0);
    device.PlayAll();
    EXPECT_EQ(player->PlayerState(), TPlayer::Stopped);
    EXPECT_EQ(device.Played, data);  // PCM plays as it is, every byte once
    EXPECT_FALSE(device.IsOpen());
    EXPECT_EQ(player->View().Position, 0);
    EXPECT_EQ(player->View().Total, "Total Time 00:00:00");
    EXPECT_EQ(player->View().Description, "");
    EXPECT_FALSE(player->View().WaveVisible);
    EXPECT_FALSE(player->View().PlayDown);
    EXPECT_EQ(fileActionUpdates, 1);
}

TEST_F(PlayerTest, ARecordingShorterThanTwoPiecesIsOnePiece) {
    const QByteArray data = Ramp(300);
    WritePcm(settings.edtFolder + "s.wav", 1000, 8, data);
    Row("s.wav");
    player->Play();
    EXPECT_EQ(player->DataPosition(), 300);
    ASSERT_EQ(device.Queue.size(), 1u);  // not held back: the data has ended
    EXPECT_EQ(device.Ends, 1);
    device.PlayOne();
    EXPECT_EQ(player->PlayerState(), TPlayer::Stopped);
    EXPECT_EQ(device.Played, data);

    // An empty data chunk ends at once.
    WritePcm(settings.edtFolder + "e.wav", 1000, 8, QByteArray());
    Row("e.wav");
    player->Play();
    EXPECT_EQ(player->PlayerState(), TPlayer::Stopped);
}

TEST_F(PlayerTest, TimeLabelsRoundHalvesToEven) {
    EXPECT_EQ(TPlayer::TimeText(1500, 1000), "00:00:02");
    EXPECT_EQ(TPlayer::TimeText(2500, 1000), "00:00:02");
    EXPECT_EQ(TPlayer::TimeText(3500, 1000), "00:00:04");
    EXPECT_EQ(TPlayer::TimeText(1499, 1000), "00:00:01");
    EXPECT_EQ(TPlayer::TimeText(3723LL * 1000, 1000), "01:02:03");
    EXPECT_EQ(TPlayer::TimeText(100, 0), "00:00:00");  // a header without a byte rate
}

TEST_F(PlayerTest, SeeksAtTheEdges) {
    // 16-bit PCM at 500 Hz: 1000 bytes/s, blocks of 2; 3000 bytes, so a thirtieth is 100.
    const QByteArray data = Ramp(3000);
    WritePcm(settings.edtFolder + "b.wav", 500, 16, data);
    Row("b.wav");
    player->Play();
    ASSERT_EQ(player->DataPosition(), 500);
    auto startOfQueue = [this] { return device.Queue.empty() ? QByteArray() : device.Queue.front(); };

    // to end: whole kilobytes from the start, less than 1024 left.
    player->ToEnd();
    EXPECT_EQ(startOfQueue(), data.mid(2048, 250));
    EXPECT_EQ(player->View().Total, "Total Time 00:00:03");  // kept through the seek
    // Rewind: a thirtieth is below two pieces, so four pieces back from the data position.
    player->Rewind();
    EXPECT_EQ(player->PlayerState(), TPlayer::Playing);
    EXPECT_EQ(startOfQueue(), data.mid(2548 - 1000, 250));
    // Rewind with the bar within a step of the start: the start.
    player->ToStart();
    EXPECT_EQ(startOfQueue(), data.mid(0, 250));
    player->Rewind();
    EXPECT_EQ(startOfQueue(), data.mid(0, 250));
    // Fast forward: a thirtieth on from the data position.
    player->FastForward();
    EXPECT_EQ(startOfQueue(), data.mid(600, 250));
    // Within a thirtieth of the end: the end, which ends the play.
    player->PositionReleased(2950);
    EXPECT_EQ(startOfQueue(), data.mid(2950, 50));
    player->FastForward();
    EXPECT_EQ(player->PlayerState(), TPlayer::Stopped);

    // The position bar released at an odd byte starts on the block before it.
    player->Play();
    player->PositionPressed();
    const qint64 bar = player->View().Position;
    device.PlayOne();
    EXPECT_EQ(player->DataPosition(), 750);
    EXPECT_EQ(player->View().Position, bar);  // held: the bar stays where the user has it
    player->PositionReleased(1235);
    EXPECT_EQ(startOfQueue(), data.mid(1234, 250));
    // Seeks do nothing while stopped.
    player->Stop();
    player->FastForward();
    player->ToEnd();
    EXPECT_EQ(player->PlayerState(), TPlayer::Stopped);
    EXPECT_FALSE(player->View().Seek);
}

TEST_F(PlayerTest, PauseHoldsUntilPlay) {
    WritePcm(settings.edtFolder + "p.wav", 1000, 8, Ramp(2000));
    Row("p.wav");
    player->Pause();  // stopped: stays up
    EXPECT_FALSE(player->View().PauseDown);
    player->Play();
    player->Pause();
    EXPECT_EQ(player->PlayerState(), TPlayer::Paused);
    EXPECT_TRUE(device.Paused());
    EXPECT_TRUE(player->View().PauseDown);
    EXPECT_FALSE(player->View().PlayDown);
    EXPECT_FALSE(player->View().PositionEnabled);
    const QString elapsed = player->View().Elapsed;
    player->Pause();  // again: still paused
    player->Tick();
    EXPECT_EQ(player->PlayerState(), TPlayer::Paused);
    EXPECT_EQ(player->View().Elapsed, elapsed);
    EXPECT_FALSE(device.PlayOne());  // nothing is heard
    player->Play();
    EXPECT_EQ(player->PlayerState(), TPlayer::Playing);
    EXPECT_FALSE(device.Paused());
    EXPECT_TRUE(player->View().PositionEnabled);
    device.PlayAll();
    EXPECT_EQ(player->PlayerState(), TPlayer::Stopped);
}

TEST_F(PlayerTest, MissingFilesAndTheBackupMedium) {
    Row("gone.wav");
    player->Play();
    EXPECT_EQ(messages.shown,
              QStringList{"File \"" + settings.edtFolder + "gone.wav\" has not been found"});
    EXPECT_EQ(player->PlayerState(), TPlayer::Stopped);
    EXPECT_EQ(device.Opens, 0);

    // A volume stands for the backup medium; its label is the first line of label.txt.
    const QString medium = dir.path() + "/usb";
    QDir().mkpath(medium);
    TOneVolume volume(medium);
    TVolumeSpace::Install(&volume);
    settings.cbxDrive1 = 0;
    WritePcm(medium + "/moved.wav", 1000, 8, Ramp(400));
    Row("moved.wav", "BACKUP-0001");
    messages.shown.clear();
    player->Play();  // no label.txt
    EXPECT_EQ(messages.shown, QStringList{BrowsingTexts::kWrongMedium});
    QFile label(medium + "/label.txt");
    ASSERT_TRUE(label.open(QIODevice::WriteOnly));
    label.write("BACKUP-0002\r\nwritten by the backup run\r\n");
    label.close();
    player->Play();  // another medium
    EXPECT_EQ(messages.shown.size(), 2);
    ASSERT_TRUE(label.open(QIODevice::WriteOnly));
    label.write("BACKUP-0001\r\n");
    label.close();
    player->Play();
    EXPECT_EQ(player->PlayerState(), TPlayer::Playing);
    EXPECT_EQ(player->Path(), medium + "/moved.wav");
    device.PlayAll();
    EXPECT_EQ(device.Played, Ramp(400));
}

TEST_F(PlayerTest, EveryCodecPlaysAsPcm) {
    for (int item = 0; item < CodecTable::kCount; ++item) {
        SCOPED_TRACE(CodecTable::ItemName(item));
        const QString name = QString("codec%1.wav").arg(item);
        WriteCodec(settings.edtFolder + name, item);
        Row(name);
        device.Played.clear();
        player->Play();
        ASSERT_EQ(player->PlayerState(), TPlayer::Playing);
        EXPECT_EQ(device.Format, TdeWaveFormat::Pcm(1, device.Format.SamplesPerSec(), 16));
        device.PlayAll();
        EXPECT_EQ(player->PlayerState(), TPlayer::Stopped);
        // About a second of 16-bit samples (the codecs' blocks and frames round it).
        const double seconds = device.Played.size() / 2.0 / device.Format.SamplesPerSec();
        EXPECT_NEAR(seconds, 1.0, 0.12);
    }
}

TEST_F(PlayerTest, DamagedRecordingsStopTheChainAndSayWhy) {
    QFile junk(settings.edtFolder + "junk.wav");
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("this is not a recording at all, just text");
    junk.close();
    Row("junk.wav");
    player->Play();
    EXPECT_EQ(messages.shown, QStringList{"The file is not a WAV file."});
    EXPECT_EQ(player->PlayerState(), TPlayer::Stopped);
    EXPECT_FALSE(device.IsOpen());

    // An interrupted recording (lengths 0) plays to the end of its file.
    WritePcm(settings.edtFolder + "open.wav", 1000, 8, Ramp(1200), false);
    Row("open.wav");
    player->Play();
    device.PlayAll();
    EXPECT_EQ(device.Played, Ramp(1200));

    // A GSM recording cut inside a block plays its whole blocks.
    WriteCodec(settings.edtFolder + "gsm.wav", 3);
    QFile gsm(settings.edtFolder + "gsm.wav");
    ASSERT_TRUE(gsm.resize(gsm.size() - 30));
    Row("gsm.wav");
    device.Played.clear();
    player->Play();
    device.PlayAll();
    EXPECT_EQ(player->PlayerState(), TPlayer::Stopped);
    EXPECT_GT(device.Played.size(), 0);
    EXPECT_EQ(device.Played.size() % 640, 0);  // 320 samples a block

    // The output refuses to open: said, and stopped.
    messages.shown.clear();
    device.RefuseOpen = true;
    player->Play();
    EXPECT_EQ(messages.shown, QStringList{"Error opening audio device for output."});
    EXPECT_EQ(player->PlayerState(), TPlayer::Stopped);
}

TEST_F(PlayerTest, ADeviceThatGoesAwayStopsThePlayer) {
    WritePcm(settings.edtFolder + "v.wav", 1000, 8, Ramp(2000));
    Row("v.wav");
    player->Play();
    device.PlayOne();
    device.Vanish("Error playing buffer.\nThe output device stopped.");
    EXPECT_EQ(player->PlayerState(), TPlayer::Stopped);
    EXPECT_EQ(messages.shown, QStringList{"Error playing buffer.\nThe output device stopped."});
    EXPECT_FALSE(player->View().PlayDown);
    // It plays again once there is a device.
    player->Play();
    EXPECT_EQ(player->PlayerState(), TPlayer::Playing);
}

TEST_F(PlayerTest, VolumeBarMapsOntoTheOutput) {
    player->SetVolume(16);
    EXPECT_DOUBLE_EQ(device.Volume, 1.0);
    player->SetVolume(1);
    EXPECT_DOUBLE_EQ(device.Volume, 4095.0 / 65535.0);
    player->SetVolume(0);
    EXPECT_DOUBLE_EQ(device.Volume, 0.0);
    device.VolumeControl = false;
    player->SetVolume(8);
    EXPECT_DOUBLE_EQ(device.Volume, 0.0);  // the bar does nothing
    EXPECT_TRUE(messages.shown.isEmpty());
}
