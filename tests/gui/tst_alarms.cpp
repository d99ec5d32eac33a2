// The alarms in the running program: an alarm raised reaches the Alarms view within the second
// and sounds the beep, "Stop alarm" ends it, "Clear Messages" asks and empties the list; and a
// mail server that accepts the connection and never answers neither stalls the window nor costs
// a call recorded meanwhile any audio, and the log says so within the time-out.
#include <QElapsedTimer>
#include <QPushButton>
#include <QTableView>

#include "CallSupport.h"
#include "GuiSupport.h"
#include "TAlarmMailer.h"
#include "TAlarms.h"
#include "TAlarmsPage.h"
#include "TSmtpSink.h"
#include "TdeRIFFAudioReader.h"

class TestAlarms : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TProgramHome> home_;

private slots:
    void initTestCase() { SetSystemFormat(TVolgaFormatSettings::Iso()); }
    void init() { home_ = std::make_unique<TProgramHome>(); }
    void cleanup() { home_.reset(); }

    void theAlarmsView() {
        auto p = StartProgram({"--audio-input=tone"});
        QVERIFY(p);
        TfmPelmUsb* w = p->MainWindow();
        TAlarmsPage* page = w->Pages().Alarms;
        TLiveSettings::Instance().spnAlarmDuration = 300;
        p->MainController()->ShowView(TMainController::vAlarms);
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QVERIFY(!page->ClearButton()->isEnabled());  // nothing listed yet
        for (int i = 0; i < 3; ++i) QVERIFY(!page->SampleButton(i)->isVisible());

        p->Alarms()->QueueHddFullAlarm();
        p->Alarms()->QueueOverTimeAlarm(1);
        QTRY_COMPARE(page->Grid()->model()->rowCount(), 2);  // the next second's drain
        QCOMPARE(page->Grid()->model()->index(0, 1).data().toString(), QString("HddFull"));
        QCOMPARE(page->Grid()->model()->index(1, 2).data().toString(),
                 QString("Recording reached maximum time on channel 1"));
        QVERIFY(p->Alarms()->CurrentAlarmBeep());
        page->StopAlarmButton()->click();
        QVERIFY(!p->Alarms()->CurrentAlarmBeep());

        // Shown again: "Clear Messages" can be used; No keeps the list, Yes empties it.
        p->MainController()->ShowView(TMainController::vLogger);
        p->MainController()->ShowView(TMainController::vAlarms);
        QVERIFY(page->ClearButton()->isEnabled());
        home_->Messages.ChooseAnswers = {1};
        page->ClearButton()->click();
        QCOMPARE(page->Grid()->model()->rowCount(), 2);
        QVERIFY(page->ClearButton()->isEnabled());
        home_->Messages.ChooseAnswers = {0};
        page->ClearButton()->click();
        QCOMPARE(page->Grid()->model()->rowCount(), 0);
        QVERIFY(!page->ClearButton()->isEnabled());
    }

    void aSilentMailServerStallsNothing() {
        TSmtpSink server("silent");
        QVERIFY(server.Port() > 0);
        auto p = StartProgram({"--audio-input=tone"});
        QVERIFY(p);
        TLiveSettings& settings = TLiveSettings::Instance();
        settings.chkSmtp = true;
        settings.edtServerName = "127.0.0.1";
        settings.edtSmtpUserID = "recorder@example.org";
        settings.edtRecipient1 = "office@example.org";
        p->Mailer()->Port = server.Port();
        p->Mailer()->ConnectTimeoutMs = 2000;
        p->Mailer()->TransferTimeoutMs = 3000;

        // The main thread's timer keeps its pace while the mail waits for its server.
        QElapsedTimer clock;
        clock.start();
        qint64 last = 0, longestGap = 0;
        QTimer beat;
        connect(&beat, &QTimer::timeout, [&] {
            longestGap = std::max(longestGap, clock.elapsed() - last);
            last = clock.elapsed();
        });
        beat.start(20);
        p->Alarms()->SendHddFullMail();
        RecordCall(*p, 3200);
        beat.stop();
        QVERIFY2(longestGap < 500, qPrintable(QString::number(longestGap)));
        QTRY_VERIFY_WITH_TIMEOUT(LogHas(*p, "Can not connect to server"), 8000);

        // The call recorded meanwhile has all its audio: about 3.2 seconds.
        const auto calls = FiledCalls(*p);
        QCOMPARE(int(calls.size()), 1);
        const auto info =
            TdeRIFFAudioReader::ReadFile(QFile::encodeName(calls[0].Path).toStdString());
        const double seconds = double(info.dataLength) / info.format.AvgBytesPerSec();
        QVERIFY2(seconds > 2.9 && seconds < 3.8, qPrintable(QString::number(seconds)));
    }
};

PELM_GUI_TEST_MAIN(TestAlarms)
#include "tst_alarms.moc"
