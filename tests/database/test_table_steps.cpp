// Worker threads and the tables: a worker walks Calls and edits every record through the main
// thread's record steps while the main thread files new calls and a grid model reads the rows.
// Run under the ThreadSanitizer build as well.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <atomic>
#include <set>
#include <stdexcept>
#include <thread>

#include "DatabaseFixture.h"
#include "TChannelTable.h"
#include "TDatasetModel.h"
#include "TTableSteps.h"
#include "TfmPelmorantDB.h"

namespace {

constexpr int kFirstCalls = 40;
constexpr int kCallsDuringWalk = 40;

class TableStepsTest : public DatabaseFixture {
protected:
    void File(TfmPelmorantDB& db, int n) {
        const QString name = QString("1_call_%1.wav").arg(n);
        WriteRecording(name, 2048 + n);
        Tchannel c;
        c.Number = n % 2;
        c.StartTime = NowDateTime();
        c.StopTime = c.StartTime + 30 / 86400.0;
        c.CallerName = "Caller";
        c.FileName = name;
        db.AddCall(c);
    }
};

// The first record of `table` whose Memo is not yet "walked", as the marking walk of a storage
// run finds its next record; 0 when there is none.
int NextUnwalked(TVolgaTable& table) {
    for (int row = 0; row < table.RecordCount(); ++row)
        if (table.TextAt(row, table.FieldByName("Memo").FieldNo()) != "walked") return row + 1;
    return 0;
}

}  // namespace

TEST_F(TableStepsTest, WorkerWalksCallsWhileTheMainThreadFilesCallsAndAGridReads) {
    TfmPelmorantDB db(globals, settings);
    ASSERT_TRUE(db.OpenDatabase());
    for (int i = 0; i < kFirstCalls; ++i) File(db, i);
    if (!db.tblRecycle.Active()) db.tblRecycle.Open();
    TDatasetModel model;
    model.SetDataset(&db.tblCalls, {{"Channel", "Channel"}, {"Memo", "Memo"}, {"Id", "callID"}});
    db.CallsModel = &model;

    TTableSteps steps;
    steps.AddWorker();
    std::atomic<bool> mainDone{false}, workerDone{false};
    std::vector<std::string> walkedIds;  // the worker's own
    std::thread worker([&] {
        for (;;) {
            std::string id;
            bool found = false;
            const bool ran = steps.Run([&] {
                TVolgaTable& t = db.tblRecycle;
                // Calls filed through tblCalls since the last step reach the clone here.
                t.Rebuild();
                const int recNo = NextUnwalked(t);
                if (recNo == 0) return;
                model.BeginUpdate();
                t.SetRecNo(recNo);
                id = t.FieldByName("callID").AsString();
                t.Edit();
                t.FieldByName("Memo").SetAsString("walked");
                t.Post();
                t.SaveChanges();
                model.EndUpdate();
                found = true;
            });
            if (!ran) break;
            if (found) {
                walkedIds.push_back(id);
            } else if (mainDone) {
                break;
            } else {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        }
        steps.RemoveWorker();
        workerDone = true;
    });

    // The main thread goes on filing calls and reading the grid while the walk runs.
    QElapsedTimer elapsed;
    elapsed.start();
    int filed = 0;
    long long cellsRead = 0;
    while (!workerDone && elapsed.elapsed() < 60000) {
        if (filed < kCallsDuringWalk)
            File(db, kFirstCalls + filed++);
        else
            mainDone = true;
        for (int row = 0; row < model.rowCount(); ++row)
            for (int col = 0; col < model.columnCount(); ++col)
                cellsRead += model.data(model.index(row, col), Qt::DisplayRole).isValid();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
    }
    mainDone = true;
    if (!workerDone) steps.Cancel();
    worker.join();
    ASSERT_TRUE(workerDone);
    EXPECT_GT(cellsRead, 0);

    // Every call, filed before or during the walk, was walked exactly once.
    const int total = kFirstCalls + kCallsDuringWalk;
    EXPECT_EQ(static_cast<int>(walkedIds.size()), total);
    EXPECT_EQ(static_cast<int>(std::set<std::string>(walkedIds.begin(), walkedIds.end()).size()),
              total);
    ASSERT_EQ(model.rowCount(), total);
    for (int row = 0; row < total; ++row)
        EXPECT_EQ(model.data(model.index(row, 1), Qt::DisplayRole).toString(), "walked");

    // And the file holds the walked records.
    db.CallsModel = nullptr;
    TfmPelmorantDB again(globals, settings);
    ASSERT_TRUE(again.OpenDatabase());
    EXPECT_EQ(again.tblCalls.RecordCount(), total);
    EXPECT_EQ(NextUnwalked(again.tblCalls), 0);
}

TEST_F(TableStepsTest, CancelReleasesAWaitingWorkerAndStepErrorsReachTheWorker) {
    TTableSteps steps;
    steps.AddWorker();
    std::atomic<int> stage{0};
    std::atomic<bool> proceed{false};
    std::string error;
    bool firstRan = false, secondRan = true;
    std::thread worker([&] {
        try {
            steps.Run([] { throw std::runtime_error("Cloned table is not active!"); });
        } catch (const std::exception& e) {
            error = e.what();
        }
        firstRan = steps.Run([] {});
        stage = 1;
        while (!proceed) std::this_thread::yield();
        // Queued, but the main thread cancels instead of doing it.
        secondRan = steps.Run([] { ADD_FAILURE() << "a cancelled step ran"; });
        steps.RemoveWorker();
        stage = 2;
    });
    QElapsedTimer elapsed;
    elapsed.start();
    while (stage < 1 && elapsed.elapsed() < 10000) steps.DoQueuedSteps();
    proceed = true;
    // Give the worker time to queue its last step, then cancel without doing it.
    while (stage < 2 && elapsed.elapsed() < 10000) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        steps.Cancel();
    }
    worker.join();
    EXPECT_EQ(error, "Cloned table is not active!");
    EXPECT_TRUE(firstRan);
    EXPECT_FALSE(secondRan);
    EXPECT_TRUE(steps.Cancelled());
    EXPECT_EQ(steps.Workers(), 0);
    EXPECT_FALSE(steps.Run([] {}));  // after a cancel nothing is queued any more
}
