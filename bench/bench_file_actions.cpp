// The file actions on 1,000 selected calls out of 100,000 in the logger view: a memo change, a
// move to another folder and a delete (with the recordings), each written to Calls.d. Goal:
// each under 1 s. The progress bar is counted as the program shows it.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>

#include "BenchCallsFolder.h"
#include "CallsTableGenerator.h"
#include "ICallRows.h"
#include "SystemFormat.h"
#include "TFileActions.h"
#include "TLiveSettings.h"
#include "TMessages.h"
#include "TPelmGlobals.h"
#include "TfmPelmorantDB.h"

namespace {

class Rows : public ICallRows {
public:
    std::vector<int> Selected;
    std::vector<int> TargetRows() const override { return Selected; }
    void SetCurrentRow(int) override {}
    void ClearRowSelection() override { Selected.clear(); }
};

// Answers every box: a new memo each time, OK to every question.
class Answers : public TMessages {
public:
    int memos = 0;
    void Show(const QString&) override {}
    bool Confirm(const QString&) override { return true; }
    bool InputQuery(const QString&, const QString&, QString& value) override {
        value = "memo " + QString::number(++memos);
        return true;
    }
};

struct Fixture {
    BenchCallsFolder folder{100000};
    TPelmGlobals& globals = folder.globals;
    TLiveSettings& settings = folder.settings;
    Rows logger, search;
    Answers answers;
    std::unique_ptr<TfmPelmorantDB> db;
    std::unique_ptr<TFileActions> actions;
    int progressSteps = 0;

    Fixture() {
        TMessages::Install(&answers);
        db = std::make_unique<TfmPelmorantDB>(globals, settings);
        db->OpenDatabase();
        actions = std::make_unique<TFileActions>(*db, settings, logger, search);
        actions->Progress = [this](int step, int) { progressSteps += step > 0 ? 1 : 0; };
    }
    // 1,000 rows spread over the table, in the order a user would pick them.
    void Select() {
        logger.Selected.clear();
        const int rows = db->tblCalls.RecordCount();
        for (int i = 0; i < 1000; ++i) logger.Selected.push_back((i * 97) % rows);
        db->tblCalls.SetRecNo(logger.Selected.front() + 1);
    }
};

Fixture& Shared() {
    static Fixture f;
    return f;
}

void BM_MemoOfAThousand(benchmark::State& state) {
    Fixture& f = Shared();
    for (auto _ : state) {
        state.PauseTiming();
        f.Select();
        state.ResumeTiming();
        f.actions->Memo();
    }
    state.counters["progress"] = f.progressSteps;
}
BENCHMARK(BM_MemoOfAThousand)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_MoveOfAThousand(benchmark::State& state) {
    Fixture& f = Shared();
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        f.Select();
        const QString folder = QString("FOLDER%1").arg(++n);
        state.ResumeTiming();
        f.actions->MoveTo(folder);
    }
}
BENCHMARK(BM_MoveOfAThousand)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_DeleteOfAThousand(benchmark::State& state) {
    Fixture& f = Shared();
    for (auto _ : state) {
        state.PauseTiming();
        f.Select();
        state.ResumeTiming();
        f.actions->DeleteFiles();
    }
    state.counters["records"] = f.db->tblCalls.RecordCount();
}
BENCHMARK(BM_DeleteOfAThousand)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    TMessages::Install(nullptr);
    return 0;
}
