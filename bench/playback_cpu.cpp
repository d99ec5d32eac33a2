// The player in the whole program on a sound server: a call is recorded for the given time in
// one codec, then played with the panel's buttons. Prints the time from "Play" to the first
// buffer handed to the device, the time from "Fast forward" to the first buffer at the new
// position (the median of the presses during the play), and the process's user + system CPU
// time over the play as a share of one core.
//
//   playback_cpu [SECONDS] [--codec=ITEM] [--no-seeks]     (ITEM 0 a-Law .. 4 MP3)
//
// With --no-seeks the recording plays through without the fast forwards.
//
// Run it under bench/playback.sh, which gives it a PulseAudio server with a sine source and a
// null sink.
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "ProgramBench.h"
#include "TChannelTable.h"
#include "TCallsGrid.h"
#include "TLiveSettings.h"
#include "TMessages.h"
#include "TPelmApplication.h"
#include "TPlayerPanel.h"
#include "TdmRecorder.h"
#include "TfmPelmUsb.h"

namespace {

// The milliseconds a click takes: the player hands its first buffer to the device before the
// click returns.
double ClickMs(QToolButton* b) {
    QElapsedTimer t;
    t.start();
    b->click();
    return t.nsecsElapsed() / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    TBenchHome home;
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    TPrintedMessages messages;
    TMessages::Install(&messages);

    QStringList args = QCoreApplication::arguments().mid(1);
    const double seconds = args.isEmpty() ? 20.0 : args.takeFirst().toDouble();
    int codec = 3;
    bool seeks = true;
    for (qsizetype i = args.size() - 1; i >= 0; --i) {
        if (args[i].startsWith("--codec=")) codec = args.takeAt(i).mid(8).toInt();
        else if (args[i] == "--no-seeks") seeks = false, args.removeAt(i);
    }
    TPelmApplication program(args);
    if (!program.Start()) return 1;
    TLiveSettings::Instance().cbxCompression = codec;
    program.Run();
    TPlayerPanel* panel = program.MainWindow()->PlayerPanel();

    int status = 1;
    double playMs = 0, cpuAtStart = 0;
    std::vector<double> seekMs;
    QElapsedTimer wall;
    QTimer presses;
    QTimer::singleShot(1000, [&] {
        for (int i = 0; i < TChannelTable::Instance().Count(); ++i)
            TChannelTable::Instance()[i].Operation = true;
        program.MainController()->Record();
        QTimer::singleShot(int(seconds * 1000), [&] {
            program.MainController()->Record();
            TCallsGrid* grid = program.MainWindow()->gdLogger();
            grid->setCurrentIndex(grid->model()->index(0, 0));
            cpuAtStart = CpuSeconds();
            wall.start();
            playMs = ClickMs(panel->Button("btnPlay"));
            // A fast forward every two seconds while it plays.
            presses.setInterval(2000);
            QObject::connect(&presses, &QTimer::timeout, [&] {
                if (!panel->Button("btnPlay")->isChecked()) return;
                seekMs.push_back(ClickMs(panel->Button("btnFastForward")));
            });
            if (seeks) presses.start();
            QTimer* poll = new QTimer(&app);
            poll->setInterval(20);
            QObject::connect(poll, &QTimer::timeout, [&, poll] {
                if (panel->Button("btnPlay")->isChecked() || panel->Button("btnPause")->isChecked())
                    return;
                poll->stop();
                presses.stop();
                const double cpu = CpuSeconds() - cpuAtStart;
                const double elapsed = wall.elapsed() / 1000.0;
                std::sort(seekMs.begin(), seekMs.end());
                std::printf(
                    "codec item %d: Play to the first buffer %.1f ms; Fast forward to the first "
                    "buffer %.1f ms (median of %zu); played %.1f s with CPU %.3f s = %.2f %% of "
                    "one core\n",
                    codec, playMs, seekMs.empty() ? 0.0 : seekMs[seekMs.size() / 2],
                    seekMs.size(), elapsed, cpu, 100.0 * cpu / elapsed);
                status = 0;
                QCoreApplication::exit(0);
            });
            poll->start();
        });
    });
    app.exec();
    program.MainWindow()->ExitProgram();
    TMessages::Install(nullptr);
    return status;
}
