// Simulated calls recorded by the program from its stand-in microphone: Record starts and ends
// a call, the button and the menu item follow the call, the call is filed with its recording,
// Exit completes a running call, and without a sound server the error is shown and the call
// taken back.
#include <QtTest>

#include "CallSupport.h"
#include "GuiSupport.h"
#include "TCAudioRecorder.h"
#include "TEventLog.h"
#include "TdeRIFFAudioReader.h"

class TestRecording : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TFreshUserDirs> dirs_;
    std::unique_ptr<TRecordingMessages> messages_;

private slots:
    void initTestCase() { SetSystemFormat(TVolgaFormatSettings::Iso()); }
    void init() {
        dirs_ = std::make_unique<TFreshUserDirs>();
        messages_ = std::make_unique<TRecordingMessages>();
        dirs_->Seed("General", "demoInstructions", "0");
        qunsetenv("PELMORANT_AUDIO_INPUT");
    }
    void cleanup() {
        messages_.reset();
        dirs_.reset();
    }

    void aCallFromTheToneIsRecordedAndFiled() {
        auto p = StartProgram({"--audio-input=tone:600"});
        QVERIFY(p);
        QVERIFY(LogHas(*p, "Audio input: a 600 Hz tone"));
        TLiveSettings::Instance().cbxCompression = 3;  // GSM
        const int shown = messages_->Shown.size();     // e.g. no sound card to play on
        RecordCall(*p, 3200);
        const auto calls = FiledCalls(*p);
        QCOMPARE(int(calls.size()), 1);
        QVERIFY2(IsFinalName(calls[0].FileName, ".wav"), qPrintable(calls[0].FileName));
        QVERIFY(calls[0].Channel == 0 || calls[0].Channel == 1);
        const auto info =
            TdeRIFFAudioReader::ReadFile(QFile::encodeName(calls[0].Path).toStdString());
        QCOMPARE(int(info.format.FormatTag()), 49);
        // About three seconds of GSM (2239 bytes/s), whole 65-byte blocks.
        QVERIFY2(info.dataLength > 5000 && info.dataLength < 9000,
                 qPrintable(QString::number(info.dataLength)));
        QCOMPARE(int(info.dataLength % 65), 0);
        QVERIFY(!QFileInfo::exists(TLiveSettings::Instance().edtFolder +
                                   QString::number(calls[0].Channel) + "_recording.wav"));
        QVERIFY(TChannelTable::Instance()[calls[0].Channel].Idle);
        QCOMPARE(messages_->Shown.size(), shown);
    }

    void theMenuItemRecordsToo() {
        auto p = StartProgram({"--audio-input=tone"});
        QVERIFY(p);
        RecordItem(*p)->trigger();
        QVERIFY(p->Recorder()->CallActive());
        QVERIFY(RecordButton(*p)->isChecked());
        QVERIFY(RecordItem(*p)->isChecked());
        QTest::qWait(3500);  // longer than the 2-second outgoing filter
        RecordItem(*p)->trigger();
        QVERIFY(!p->Recorder()->CallActive());
        QVERIFY(!RecordButton(*p)->isChecked());
        QVERIFY(!RecordItem(*p)->isChecked());
        QCOMPARE(int(FiledCalls(*p).size()), 1);
    }

    void noChannelInOperationLeavesTheButtonUp() {
        auto p = StartProgram({"--audio-input=tone"});
        QVERIFY(p);
        for (int i = 0; i < TChannelTable::Instance().Count(); ++i)
            TChannelTable::Instance()[i].Operation = false;
        QTest::mouseClick(RecordButton(*p), Qt::LeftButton);
        QVERIFY(!p->Recorder()->CallActive());
        QVERIFY(!RecordButton(*p)->isChecked());
        QVERIFY(!p->AudioRecorder()->Running());
        for (int i = 0; i < TChannelTable::Instance().Count(); ++i)
            TChannelTable::Instance()[i].Operation = true;
    }

    void exitCompletesARunningCall() {
        QString folder;
        {
            auto p = StartProgram({"--audio-input=tone"});
            QVERIFY(p);
            folder = TLiveSettings::Instance().edtFolder;
            QTest::mouseClick(RecordButton(*p), Qt::LeftButton);
            QVERIFY(p->Recorder()->CallActive());
            QTest::qWait(3500);
            p->MainWindow()->ExitProgram();
            QVERIFY(!p->AudioRecorder()->Running());
            QCOMPARE(int(FiledCalls(*p).size()), 1);
        }
        // Filed on disk: the next start finds the call and its recording.
        auto p = StartProgram({"--audio-input=tone"});
        QVERIFY(p);
        const auto calls = FiledCalls(*p);
        QCOMPARE(int(calls.size()), 1);
        QVERIFY(QFileInfo(calls[0].Path).size() > 46);
    }

    void withoutASoundServerTheCallIsTakenBack() {
        // The test programs' sound server address leads nowhere: the sound card's input is
        // missing.
        auto p = StartProgram({});
        QVERIFY(p);
        QVERIFY(LogHas(*p, "Audio input: the sound card's default input"));
        QTest::mouseClick(RecordButton(*p), Qt::LeftButton);
        QCOMPARE(messages_->Shown.value(messages_->Shown.size() - 1),
                 QString("Error opening audio device for input.\nBad device ID."));
        QVERIFY(!p->Recorder()->CallActive());
        QVERIFY(!RecordButton(*p)->isChecked());
        QVERIFY(!RecordItem(*p)->isChecked());
        QVERIFY(!p->Recorder()->Timer1()->isActive());
        for (int i = 0; i < TChannelTable::Instance().Count(); ++i)
            QVERIFY(TChannelTable::Instance()[i].Idle);
        QCOMPARE(int(FiledCalls(*p).size()), 0);
    }

    void aBadStandInIsLoggedAndTheDeviceUsed() {
        qputenv("PELMORANT_AUDIO_INPUT", "wav:");
        auto p = StartProgram({});
        QVERIFY(p);
        QVERIFY(LogHas(*p, "Unknown audio input (use device, tone, tone:HZ or wav:PATH): wav:"));
        QVERIFY(LogHas(*p, "Audio input: the sound card's default input"));
    }

    void aMissingWavFileRefusesTheCall() {
        auto p = StartProgram({"--audio-input=wav:" + dirs_->Root() + "/none.wav"});
        QVERIFY(p);
        QTest::mouseClick(RecordButton(*p), Qt::LeftButton);
        QVERIFY(messages_->Shown.value(messages_->Shown.size() - 1)
                    .startsWith("Error opening audio device for input.\nCan not read the file "));
        QVERIFY(!p->Recorder()->CallActive());
        QVERIFY(!RecordButton(*p)->isChecked());
    }
};

PELM_GUI_TEST_MAIN(TestRecording)
#include "tst_recording.moc"
