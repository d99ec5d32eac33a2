// "Search" on the search page over 100,000 calls: a Memo "Contains" row and a Channel row, timed
// from the click to the search grid's model holding the result (the query opened on Calls.d,
// its calculated and lookup fields, the model reset). Runs offscreen.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>

#include "BenchCallsFolder.h"
#include "CallsTableGenerator.h"
#include "SystemFormat.h"
#include "TCallSearch.h"
#include "TCallsGrid.h"
#include "TLiveSettings.h"
#include "TMessages.h"
#include "TPelmGlobals.h"
#include "TSearchModel.h"
#include "TSearchPage.h"
#include "TVisualSql.h"
#include "TfmPelmorantDB.h"

namespace {

struct Fixture {
    BenchCallsFolder folder{100000};
    TPelmGlobals& globals = folder.globals;
    TLiveSettings& settings = folder.settings;
    std::unique_ptr<TfmPelmorantDB> db;
    std::unique_ptr<TSearchPage> page;
    std::unique_ptr<TSearchModel> model;
    std::unique_ptr<TCallSearch> search;

    Fixture() {
        db = std::make_unique<TfmPelmorantDB>(globals, settings);
        db->OpenDatabase();
        page = std::make_unique<TSearchPage>();
        page->resize(1000, 700);
        page->show();
        model = std::make_unique<TSearchModel>(&db->queSearch);
        model->Attach(page->gdSearch());
        search = std::make_unique<TCallSearch>(*db);
        search->Model = model.get();
        TVisualSql* rows = page->VisualSql();
        rows->ChannelCount = [] { return 2; };
        QObject::connect(page.get(), &TSearchPage::searchClicked, search.get(), [this] {
            search->Search(page->VisualSql()->BuildSql(page->Conjunction()));
        });
        // Memo contains "order", and Channel is 1.
        qobject_cast<QLineEdit*>(rows->RowAt(0).Value)->setText("order");
        rows->AddRow();
        rows->SetRowField(1, static_cast<int>(TSearchStatement::Field::Channel));
        qobject_cast<QComboBox*>(rows->RowAt(1).Value)->setCurrentText("1");
    }
};

// Made on first use, freed before the application ends (its widgets need it).
std::unique_ptr<Fixture> shared;

void BM_SearchMemoAndChannel(benchmark::State& state) {
    if (!shared) shared = std::make_unique<Fixture>();
    Fixture& f = *shared;
    for (auto _ : state) {
        f.page->SearchButton()->click();
        if (f.model->rowCount() == 0) state.SkipWithError("nothing found");
    }
    state.counters["found"] = f.model->rowCount();
}
BENCHMARK(BM_SearchMemoAndChannel)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    shared.reset();
    return 0;
}
