// The printed call list of a 100,000-call logger view: the preview of page 1,000 (drawn into
// the preview bitmap and scaled for an 800 × 600 window; goal under 50 ms, and no slower than
// page 1) and printing to a PDF file, counted in pages a second (a range of 200 pages, and the
// whole list of about 2,000 pages). The grid's model is over the table, as in the program.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPrinter>

#include "BenchCallsFolder.h"
#include "CallsTableGenerator.h"
#include "ShrinkBitmap.h"
#include "SystemFormat.h"
#include "TCallListPrinter.h"
#include "TChannelTable.h"
#include "TLiveSettings.h"
#include "TLoggerModel.h"
#include "TPelmGlobals.h"
#include "TPreviewPages.h"
#include "TfmPelmorantDB.h"

namespace {

struct Fixture {
    BenchCallsFolder folder{100000};
    TPelmGlobals& globals = folder.globals;
    TLiveSettings& settings = folder.settings;
    std::unique_ptr<TfmPelmorantDB> db;
    std::unique_ptr<TLoggerModel> model;
    std::unique_ptr<TCallListPrinter> list;
    QPrinter printer{QPrinter::HighResolution};

    Fixture() {
        db = std::make_unique<TfmPelmorantDB>(globals, settings);
        db->OpenDatabase();
        // The generated calls' folders, named as the tree names them.
        for (const std::string& id : callsgen::FolderIds())
            db->Tree.AddChild(db->Tree.FirstRoot(), QString::fromStdString("Folder " + id),
                              QString::fromStdString(id));
        TChannelTable::Instance().InitChannels();
        model = std::make_unique<TLoggerModel>(&db->tblCalls);
        list = std::make_unique<TCallListPrinter>(
            TCallListPrinter::Source{&db->tblCalls, model.get(), &db->Tree});
        printer.setOutputFormat(QPrinter::PdfFormat);
        TCallListPrinter::ComputeLinesPerPage(printer);
    }
};

Fixture& Shared() {
    static Fixture f;
    return f;
}

void PreviewPage(benchmark::State& state, int page) {
    Fixture& f = Shared();
    const QSize size = TPreviewPages::BitmapSize(f.printer);
    const QSize window(800, 600);
    QImage scaled;
    for (auto _ : state) {
        QImage bitmap(size, QImage::Format_RGB32);
        QPainter canvas(&bitmap);
        f.list->DrawPage(canvas, page, size.height(), size.width(), f.list->PageCount());
        canvas.end();
        ShrinkBitmap(TPreviewPages::ScalePercent(size, window), bitmap, scaled);
        benchmark::DoNotOptimize(scaled.constBits());
    }
    state.counters["records"] = f.db->tblCalls.RecordCount();
    state.counters["linesPerPage"] = TCallListPrinter::LinesPerPage;
    state.counters["pages"] = f.list->PageCount();
}

void BM_PreviewPage1(benchmark::State& state) {
    PreviewPage(state, 1);
}
BENCHMARK(BM_PreviewPage1)->Unit(benchmark::kMillisecond);

void BM_PreviewPage1000(benchmark::State& state) {
    PreviewPage(state, 1000);
}
BENCHMARK(BM_PreviewPage1000)->Unit(benchmark::kMillisecond);

// Pages 1 to state.range(0) (0: the whole list) printed to a PDF file.
void BM_PrintToPdf(benchmark::State& state) {
    Fixture& f = Shared();
    const int last = state.range(0) > 0 ? static_cast<int>(state.range(0)) : f.list->PageCount();
    const QString pdf = f.folder.dir.path() + "/list.pdf";
    f.printer.setOutputFileName(pdf);
    QString error;
    for (auto _ : state) {
        if (!f.list->Print(f.printer, 1, last, last, 1, &error)) {
            state.SkipWithError(error.toStdString().c_str());
            break;
        }
    }
    state.counters["pages/s"] =
        benchmark::Counter(static_cast<double>(last) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
    state.counters["pages"] = last;
    state.counters["MiB"] = static_cast<double>(QFile(pdf).size()) / (1024.0 * 1024.0);
}
BENCHMARK(BM_PrintToPdf)->Arg(200)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PrintToPdf)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
