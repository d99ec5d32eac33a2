// The whole program (its modules as the executable starts them) recording calls until it is
// killed, for the tests that kill it at any moment and start it again:
//
//   call_runner [--codec=ITEM] [--cycle] [program arguments, e.g. --audio-input=tone]
//
// Without --cycle one call is started and left running; with --cycle calls of 0.2 to 1.5
// seconds follow each other, and after every other call the calls of the folder the last call
// went into are given a memo (File > Memo...) and moved to a folder picked at random (the Calls
// table saved each time). Prints "begin <channel>" when a call's recording has started, "filed"
// when a call has been completed and "moved <n>" after a memo and a move, each as its own
// flushed line on stdout. Messages go to stderr instead of boxes; the memo box answers a text.
#include <QAction>
#include <QApplication>
#include <QRandomGenerator>
#include <QTimer>
#include <cstdio>

#include "TCallsGrid.h"
#include "TChannelTable.h"
#include "TFolderTree.h"
#include "TFolderTreeView.h"
#include "TLiveSettings.h"
#include "TMainController.h"
#include "TMessages.h"
#include "TPelmApplication.h"
#include "TTreeController.h"
#include "TdmRecorder.h"
#include "TfmPelmUsb.h"
#include "TfmPelmorantDB.h"

namespace {

class PrintedMessages : public TMessages {
public:
    void Show(const QString& text) override {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    }
    bool InputQuery(const QString&, const QString&, QString& value) override {
        value = "memo " + QString::number(++memos);
        return true;
    }
    int memos = 0;
};

void Say(const char* line, int value = -1) {
    if (value >= 0)
        std::printf("%s %d\n", line, value);
    else
        std::printf("%s\n", line);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    PrintedMessages messages;
    TMessages::Install(&messages);

    QStringList args = QCoreApplication::arguments().mid(1);
    int codec = -1;
    bool cycle = false;
    for (qsizetype i = args.size() - 1; i >= 0; --i) {
        if (args[i].startsWith("--codec=")) {
            codec = args.takeAt(i).mid(8).toInt();
        } else if (args[i] == "--cycle") {
            args.removeAt(i);
            cycle = true;
        }
    }
    TPelmApplication program(args);
    if (!program.Start()) return 1;
    if (codec >= 0) TLiveSettings::Instance().cbxCompression = codec;
    program.Run();
    TChannelTable& channels = TChannelTable::Instance();
    for (int i = 0; i < channels.Count(); ++i) channels[i].Operation = true;
    TMainController* controller = program.MainController();
    TdmRecorder* recorder = program.Recorder();
    TfmPelmorantDB* db = program.Database();
    TfmPelmUsb* window = program.MainWindow();
    int calls = 0;
    // The calls of the folder the last call went into, moved to a folder picked at random.
    auto move = [&] {
        const QString from =
            db->DateInUse.FolderId.isEmpty() ? db->MainFolderId : db->DateInUse.FolderId;
        for (int i = 0; i < db->Tree.Count(); ++i)
            if (TFolderTree::FolderId(db->Tree.NodeAt(i)) == from)
                window->tree()->SelectNode(db->Tree.NodeAt(i));
        TCallsGrid* grid = window->gdLogger();
        if (grid->model()->rowCount() > 0) grid->setCurrentIndex(grid->model()->index(0, 0));
        grid->selectAll();
        const int rows = static_cast<int>(grid->TargetRows().size());
        window->Action("mmiMemo")->trigger();
        grid->selectAll();
        QStandardItem* to = db->Tree.NodeAt(QRandomGenerator::global()->bounded(db->Tree.Count()));
        program.TreeController()->MoveCallsToFolder(TFolderTree::FolderId(to));
        Say("moved", rows);
    };

    std::function<void()> next = [&] {
        controller->Record();
        if (!recorder->CallActive()) {
            std::fprintf(stderr, "the call did not start\n");
            QCoreApplication::exit(1);
            return;
        }
        Say("begin", recorder->CurrentChannel);
        if (!cycle) return;
        QTimer::singleShot(QRandomGenerator::global()->bounded(200, 1500), [&] {
            controller->Record();
            Say("filed");
            if (++calls % 2 == 0) move();
            QTimer::singleShot(QRandomGenerator::global()->bounded(0, 300), next);
        });
    };
    QTimer::singleShot(0, next);
    return app.exec();
}
