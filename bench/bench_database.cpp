// Filing a call into, and summing the used space of, a Calls table of 100,000 records.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <fstream>

#include "CallsTableGenerator.h"
#include "SystemFormat.h"
#include "TLiveSettings.h"
#include "TPelmGlobals.h"
#include "Tchannel.h"
#include "TfmPelmorantDB.h"

namespace {

struct Fixture {
    QTemporaryDir dir;
    TPelmGlobals globals;
    TLiveSettings settings;
    std::unique_ptr<TfmPelmorantDB> db;

    Fixture() {
        SetSystemFormat(TVolgaFormatSettings::Iso());
        globals.AppDataDir = dir.path();
        globals.SettingsIni.Open(dir.path() + "/Pelmorant.ini");
        settings.edtFolder = dir.path() + "/wav/";
        QDir().mkpath(settings.edtFolder);
        std::string image = callsgen::CallsImage(100000);
        std::ofstream(dir.path().toStdString() + "/Calls.d", std::ios::binary) << image;
        QFile wav(settings.edtFolder + "0_20261209_101112.wav");
        wav.open(QIODevice::WriteOnly);
        wav.write(QByteArray(48 * 1024, 'x'));
        wav.close();
        db = std::make_unique<TfmPelmorantDB>(globals, settings);
        db->OpenDatabase();
        // As the folder view does after each call: show the selected folder again.
        const std::string filter = "FolderID='" + db->MainFolderId.toStdString() + "'";
        db->ShowSelectedFolder = [this, filter] {
            db->tblCalls.SetFilter(filter);
            db->tblCalls.SetFiltered(true);
            db->tblCalls.Last();
        };
        db->ShowSelectedFolder();
    }
};

Fixture& Shared() {
    static Fixture f;
    return f;
}

void BM_AddCall(benchmark::State& state) {
    Fixture& f = Shared();
    f.settings.cbxPostByDate = true;
    Tchannel c;
    c.Number = 0;
    c.StartTime = 46000.4;
    c.StopTime = 46000.41;
    c.InOut = 0;
    c.CallerId = "5551234";
    c.CallerName = "Front desk";
    c.FileName = "0_20261209_101112.wav";
    for (auto _ : state) f.db->AddCall(c);
    state.counters["records"] = f.db->tblCalls.Cursor()->RecordCount();
}
BENCHMARK(BM_AddCall)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_SumUsedSpace(benchmark::State& state) {
    Fixture& f = Shared();
    int sum = 0;
    for (auto _ : state) benchmark::DoNotOptimize(sum = f.db->SumUsedSpace());
    state.counters["kib"] = sum;
}
BENCHMARK(BM_SumUsedSpace)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
