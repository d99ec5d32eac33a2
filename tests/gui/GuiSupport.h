// Shared pieces of the GUI tests: fresh per-user folders for every test function, the main
// window with its own stores and channel table, and recording stand-ins for the message boxes,
// the desktop shell and the clock.
#pragma once

#include <QApplication>
#include <QDateTime>
#include <QImage>
#include <QMenuBar>
#include <QPixmap>
#include <QStringList>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#include <memory>
#include <optional>
#include <type_traits>

#include "ProgramStarter.h"
#include "SystemFormat.h"
#include "TChannelTable.h"
#include "TClock.h"
#include "TEventLog.h"
#include "TFreshUserDirs.h"
#include "TIniFile.h"
#include "TLiveSettings.h"
#include "TMessages.h"
#include "TPelmApplication.h"
#include "TPelmGlobals.h"
#include "TShell.h"
#include "TTestClock.h"
#include "TfmPelmUsb.h"

class TRecordingMessages : public TMessages {
public:
    TRecordingMessages() { TMessages::Install(this); }
    ~TRecordingMessages() override { TMessages::Install(nullptr); }
    void Show(const QString& text) override { Shown << text; }
    bool Confirm(const QString& text) override {
        Asked << text;
        return ConfirmAnswer;
    }
    bool InputQuery(const QString&, const QString&, QString& value) override {
        if (!InputAnswer) return false;
        value = *InputAnswer;
        return true;
    }
    int Choose(const QString& text, const QStringList&) override {
        Asked << text;
        return ChooseAnswers.isEmpty() ? -1 : ChooseAnswers.takeFirst();
    }
    QStringList Shown;
    QStringList Asked;
    bool ConfirmAnswer = true;
    QList<int> ChooseAnswers;            // in turn; then the box counts as closed
    std::optional<QString> InputAnswer;  // none: the input is cancelled
};

class TRecordingShell : public TShell {
public:
    struct Call {
        QString Executable;
        QStringList Args;
        QString WorkDir;
    };
    TRecordingShell() { TShell::Install(this); }
    ~TRecordingShell() override { TShell::Install(nullptr); }
    int OpenDocument(const QString& path) override {
        Opened << path;
        return Result;
    }
    int OpenUrl(const QString& url) override {
        Opened << url;
        return Result;
    }
    int Run(const QString& executable, const QStringList& args, const QString& workDir) override {
        Runs.push_back({executable, args, workDir});
        return Result;
    }
    int Result = 33;  // success
    QStringList Opened;
    std::vector<Call> Runs;
};

// The main window over stores and a channel table of its own.
class TWindowUnderTest {
public:
    explicit TWindowUnderTest(const QStringList& args = {}) {
        controller = std::make_unique<TMainController>(globals, channels, settings, args);
        window = std::make_unique<TfmPelmUsb>(*controller, TMainPages::Create());
    }
    TPelmGlobals globals;
    TChannelTable channels;
    TLiveSettings settings;
    std::unique_ptr<TMainController> controller;
    std::unique_ptr<TfmPelmUsb> window;
    TfmPelmUsb* operator->() const { return window.get(); }
};

inline bool SamePicture(const QPixmap& a, const QPixmap& b) {
    return a.toImage().convertToFormat(QImage::Format_ARGB32) ==
           b.toImage().convertToFormat(QImage::Format_ARGB32);
}

// A fresh home for one test function: per-user folders of its own (the instructions window is
// not shown at start) and the message boxes recorded.
struct TProgramHome {
    TFreshUserDirs Dirs;
    TRecordingMessages Messages;
    TProgramHome() { Dirs.Seed("General", "demoInstructions", "0"); }
};

// Runs `answer` on the next modal dialog of class T once it shows (looked for every 10 ms).
template <typename T = QWidget>
void WhenModal(const std::type_identity_t<std::function<void(T*)>>& answer) {
    auto* timer = new QTimer(qApp);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        auto* modal = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!modal || !modal->isVisible()) return;
        timer->stop();
        timer->deleteLater();
        answer(modal);
    });
    timer->start();
}

// An item of the main window's menus by its text.
inline QAction* MenuItem(TfmPelmUsb* w, const QString& text) {
    for (QAction* menu : w->menuBar()->actions())
        if (menu->menu())
            for (QAction* item : menu->menu()->actions())
                if (item->text() == text) return item;
    return nullptr;
}

// The File menu's file actions that are enabled: of "Memo...", "Delete File(s)...", "Move to..."
// (kEditItems) and "Copy to folder...", "Email wav file to..." (kCopyMailItems).
inline const QStringList kEditItems{"Memo...", "Delete File(s)...", "Move to..."};
inline const QStringList kCopyMailItems{"Copy to folder...", "Email wav file to..."};
inline QStringList EnabledFileActions(TfmPelmUsb* w) {
    QStringList on;
    for (const QString& text : kEditItems + kCopyMailItems) {
        QAction* a = MenuItem(w, text);
        if (a && a->isEnabled()) on << text;
    }
    return on;
}

// Whether a line of the program's event log holds `text`.
inline bool LogHas(TPelmApplication& p, const QString& text) {
    for (const QString& line : p.Log()->Lines())
        if (line.contains(text)) return true;
    return false;
}

// The test programs' entry: before the application object exists, the home and XDG folders
// point into a temporary folder and the sound server address leads nowhere, so a run neither
// reads nor writes the real home and never finds a sound server (each test function then gets
// folders of its own in init()).
#define PELM_GUI_TEST_MAIN(TestClass)                                                    \
    int main(int argc, char** argv) {                                                    \
        TFreshUserDirs home;                                                             \
        qputenv("HOME", QFile::encodeName(home.Root()));                                 \
        qputenv("XDG_CACHE_HOME", QFile::encodeName(home.Root() + "/cache"));            \
        qputenv("PULSE_SERVER", QFile::encodeName("unix:" + home.Root() + "/no-sound")); \
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))                               \
            qputenv("QT_QPA_PLATFORM", "offscreen");                                     \
        QApplication app(argc, argv);                                                    \
        QApplication::setQuitOnLastWindowClosed(false);                                  \
        TestClass test;                                                                  \
        return QTest::qExec(&test, argc, argv);                                          \
    }
