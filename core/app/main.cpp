// Program entry: one instance per user, the executable's folder as the working directory, the
// modules in their order, and an orderly end on Exit, log-off, shut-down and SIGTERM/SIGINT/
// SIGHUP.
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QSessionManager>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>

#include "CoreTexts.h"
#include "TEventLog.h"
#include "TMessages.h"
#include "TPelmApplication.h"
#include "TPelmGlobals.h"
#include "TSingleInstance.h"
#include "TfmPelmUsb.h"

namespace {

int signalPipe[2] = {-1, -1};

void OnSignal(int) {
    char c = 1;
    ssize_t ignored = ::write(signalPipe[1], &c, 1);
    (void)ignored;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(CoreTexts::kAppTitle);
    // The desktop matches the window to the installed menu entry, and so to its icon.
    QGuiApplication::setDesktopFileName(PELM_APP_ID);
    QApplication::setQuitOnLastWindowClosed(false);

    TSingleInstance instance;
    if (!instance.Acquire()) return 0;  // the running one shows itself

    TPelmGlobals& g = TPelmGlobals::Instance();
    if (QDir::setCurrent(QCoreApplication::applicationDirPath()))
        g.ProgramDir = QDir::currentPath();
    else
        ShowMessage(CoreTexts::kErrorStartingDir);

    QStringList args = QCoreApplication::arguments().mid(1);
    TPelmApplication program(args);
    if (!program.Start()) {
        if (!g.StartupAbortReason.isEmpty())
            std::fprintf(stderr, "%s\n", qUtf8Printable(g.StartupAbortReason));
        return 1;
    }
    TfmPelmUsb* main = program.MainWindow();

    QObject::connect(&instance, &TSingleInstance::showRequested, main, [main] {
        main->Restore();
        if (main->isVisible()) LogGeneral(CoreTexts::kShownOnRequest);
    });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, main,
                     [main](QSessionManager&) { main->SessionEnding(); });

    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) == 0) {
        auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
        QObject::connect(notifier, &QSocketNotifier::activated, main, [main] {
            char c;
            ssize_t ignored = ::read(signalPipe[0], &c, 1);
            (void)ignored;
            main->ExitProgram();
        });
        struct sigaction sa {};
        sa.sa_handler = OnSignal;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = SA_RESTART;
        sigaction(SIGTERM, &sa, nullptr);
        sigaction(SIGINT, &sa, nullptr);
        sigaction(SIGHUP, &sa, nullptr);
    }

    program.Run();
    return app.exec();
}
