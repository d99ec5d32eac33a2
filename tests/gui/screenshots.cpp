// Pictures of the main window in each of its four views, for the documentation: the program's
// modules are started over fresh settings, the window is shown and grabbed per view into
// OUTDIR/logger.png, search.png, monitor.png and alarms.png. Run it on a real display
// (scripts/screenshots.sh uses Xvfb).
#include <QApplication>
#include <QDir>
#include <QTest>
#include <cstdio>

#include "GuiSupport.h"
#include "TPelmApplication.h"

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
    program.Run();
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
