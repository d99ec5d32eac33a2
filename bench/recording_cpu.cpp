// The program's CPU time while it records one simulated call: the whole program (main window,
// timers, capture, conversion, file writing) started in a data folder of its own, Record
// pressed, the call left to run for the given time, Record pressed again. Prints the process's
// user + system CPU time over the call as a share of one core, and what was filed.
//
//   recording_cpu [SECONDS] [--codec=ITEM] [program arguments, e.g. --audio-input=tone]
//
// ITEM is the compression item (0 a-Law .. 4 MP3); without it the configured codec records.
//
// Run it under bench/recording_cpu.sh, which gives it a PulseAudio server with a sine source.
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "TCAudioRecorder.h"
#include "ProgramBench.h"
#include "TChannelTable.h"
#include "TLiveSettings.h"
#include "TMessages.h"
#include "TPelmApplication.h"
#include "TdmRecorder.h"
#include "TfmPelmUsb.h"
#include "TfmPelmorantDB.h"

int main(int argc, char** argv) {
    TBenchHome home;
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    TPrintedMessages messages;
    TMessages::Install(&messages);

    QStringList args = QCoreApplication::arguments().mid(1);
    const double seconds = args.isEmpty() ? 60.0 : args.takeFirst().toDouble();
    if (seconds <= 0 || seconds > 80) {
        std::fprintf(stderr, "usage: recording_cpu [SECONDS (1-80)] [program arguments]\n");
        return 2;
    }
    int codec = -1;
    for (qsizetype i = args.size() - 1; i >= 0; --i)
        if (args[i].startsWith("--codec=")) codec = args.takeAt(i).mid(8).toInt();
    TPelmApplication program(args);
    if (!program.Start()) return 1;
    if (codec >= 0) TLiveSettings::Instance().cbxCompression = codec;
    program.Run();
    TdmRecorder* recorder = program.Recorder();

    double cpuAtStart = 0;
    QElapsedTimer wall;
    int status = 0;
    // Let the start-up settle first; it is not part of the recording.
    QTimer::singleShot(2000, [&] {
        for (int i = 0; i < TChannelTable::Instance().Count(); ++i)
            TChannelTable::Instance()[i].Operation = true;
        wall.start();
        cpuAtStart = CpuSeconds();
        program.MainController()->Record();
        if (!recorder->CallActive()) {
            status = 1;
            QCoreApplication::exit(status);
            return;
        }
        QTimer::singleShot(int(seconds * 1000), [&] {
            const double written = double(program.AudioRecorder()->DataLength());
            program.MainController()->Record();
            const double cpu = CpuSeconds() - cpuAtStart;
            const double elapsed = wall.elapsed() / 1000.0;
            TVolgaTable& calls = program.Database()->tblCalls;
            calls.SetFiltered(false);
            std::printf(
                "recorded %.1f s (codec item %d, %.0f audio bytes): CPU %.3f s = %.2f %% of one "
                "core; calls filed: %d\n",
                elapsed, TLiveSettings::Instance().cbxCompression, written, cpu,
                100.0 * cpu / elapsed, calls.RecordCount());
            status = calls.RecordCount() == 1 ? 0 : 1;
            QCoreApplication::exit(status);
        });
    });
    app.exec();
    program.MainWindow()->ExitProgram();
    TMessages::Install(nullptr);
    return status;
}
