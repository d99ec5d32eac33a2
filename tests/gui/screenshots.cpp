// Pictures of the main window in each of its four views, for the documentation: the program's
// modules are started over fresh settings, a dozen calls are filed, a search is run and two
// alarms are raised, and the window (1280 by 800) is grabbed per view into OUTDIR/logger.png,
// search.png, monitor.png and alarms.png. Run it on a real display (scripts/screenshots.sh
// uses Xvfb).
#include <QApplication>
#include <QDir>
#include <QTest>
#include <cstdio>

#include "GuiSupport.h"
#include "TAlarms.h"
#include "TCallSearch.h"
#include "TPelmApplication.h"
#include "TfmPelmorantDB.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
        return 2;
    }
    TFreshUserDirs home;
    qputenv("HOME", QFile::encodeName(home.Root()));
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    TRecordingMessages messages;  // the no-sound-card box is not part of the picture
    SetSystemFormat(FormatSettingsFromLocale());
    home.Seed("General", "demoInstructions", "0");

    TPelmApplication program({});
    if (!program.Start()) {
        std::fprintf(stderr, "the program did not start\n");
        return 1;
    }
    TfmPelmUsb* w = program.MainWindow();
    // Channel 0 waits for a call, channel 1 has been recording for 83 seconds.
    TChannelTable& channels = TChannelTable::Instance();
    channels[0].Operation = true;
    channels[1].Operation = true;
    channels[1].Idle = false;
    channels[1].StartTime = NowDateTime() - 83 / 86400.0;
    // A dozen calls filed in Main, with memos short and long (their recordings stand-ins of the
    // right size).
    TLiveSettings::Instance().cbxPostByDate = false;
    const char* memos[] = {"", "Order 4711 confirmed",
                           "Call back about the delivery date on Monday", "", "Invoice question"};
    for (int i = 0; i < 12; ++i) {
        Tchannel c = channels[i % 2];
        c.Number = i % 2;
        c.InOut = i % 3 == 0 ? 1 : 0;
        c.CallerId = QString("0301234%1").arg(500 + i * 7);
        c.CallerName = memos[i % 5];
        c.StartTime = NowDateTime() - (12 - i) / 24.0 - (i * 97 % 3600) / 86400.0;
        c.StopTime = c.StartTime + (45 + i * 83) / 86400.0;
        c.FileName = QString("%1_call%2.wav").arg(i % 2).arg(i);
        QFile recording(TLiveSettings::Instance().edtFolder + c.FileName);
        if (recording.open(QIODevice::WriteOnly)) recording.write(QByteArray((i + 1) * 8000, '\0'));
        recording.close();
        program.Database()->AddCall(c);
    }
    program.Search()->Search("SELECT * FROM calls WHERE calls.channel = 1");
    program.Alarms()->QueueHddFullAlarm();
    program.Alarms()->QueueOverTimeAlarm(1);
    program.Alarms()->DrainAlarms();
    program.Alarms()->StopAlarm();
    program.Run();
    w->setGeometry(0, 0, 1280, 800);
    if (!QTest::qWaitForWindowExposed(w)) {
        std::fprintf(stderr, "the window was not exposed\n");
        return 1;
    }
    w->Timer1Timer();
    QDir out(QString::fromLocal8Bit(argv[1]));
    out.mkpath(".");
    const char* names[] = {"logger", "search", "monitor", "alarms"};
    for (int view = 0; view < 4; ++view) {
        w->ShowView(view);
        QTest::qWait(200);
        QString file = out.filePath(QString(names[view]) + ".png");
        if (!w->grab().save(file)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return 1;
        }
        std::printf("%s\n", qPrintable(file));
    }
    return 0;
}
