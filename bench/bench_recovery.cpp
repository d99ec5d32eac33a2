// The start-up look for calls without their record, on a Calls table of 100,000 records with a
// recording each in the recordings folder: the steady state of every start (nothing to file).
// Goal: under 200 ms.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <fstream>

#include "CallsTableGenerator.h"
#include "CodecTable.h"
#include "SystemFormat.h"
#include "TCallCompletion.h"
#include "TCallRecovery.h"
#include "TChannelTable.h"
#include "TLiveSettings.h"
#include "TPelmGlobals.h"
#include "TdeRIFFAudioWriter.h"
#include "TfmPelmorantDB.h"

namespace {

constexpr int kCalls = 100000;

struct Fixture {
    QTemporaryDir dir;
    TPelmGlobals globals;
    TLiveSettings settings;
    TChannelTable channels;
    std::unique_ptr<TfmPelmorantDB> db;
    std::unique_ptr<TCallCompletion> completion;
    std::vector<std::string> names;

    Fixture() {
        SetSystemFormat(TVolgaFormatSettings::Iso());
        globals.AppDataDir = dir.path();
        globals.SettingsIni.Open(dir.path() + "/Pelmorant.ini");
        settings.edtFolder = dir.path() + "/wav/";
        settings.cbxPostByDate = false;
        QDir().mkpath(settings.edtFolder);
        channels.InitChannels(2);
        // The table, and a short recording under every name it holds.
        TVolgaCursor cursor;
        std::string message;
        cursor.LoadFromImage(callsgen::CallsImage(kCalls), message);
        TVolgaField* name = cursor.FieldByName("fileName");
        const auto& records = cursor.Records();
        const TdeWaveFormat alaw = *CodecTable::Format(0);
        std::vector<uint8_t> wav =
            TdeRIFFAudioWriter::Header(alaw, 28 + alaw.FmtChunkSize() - 8 + 800, 800);
        wav.resize(wav.size() + 800, 0xD5);
        for (const auto& r : records) {
            names.push_back(name->GetText(r->Data));
            std::ofstream(settings.edtFolder.toStdString() + names.back(), std::ios::binary)
                .write(reinterpret_cast<const char*>(wav.data()), std::streamsize(wav.size()));
        }
        std::string image;
        cursor.BuildImage(image);
        std::ofstream(dir.path().toStdString() + "/Calls.d", std::ios::binary) << image;
        db = std::make_unique<TfmPelmorantDB>(globals, settings);
        db->OpenDatabase();
        completion = std::make_unique<TCallCompletion>(channels, settings, globals, *db, nullptr,
                                                       nullptr, nullptr);
    }
};

Fixture& Shared() {
    static Fixture f;
    return f;
}

void BM_StartupScanNothingToFile(benchmark::State& state) {
    Fixture& f = Shared();
    TCallRecovery::Summary s;
    for (auto _ : state)
        s = TCallRecovery(f.channels, f.settings, *f.completion, *f.db).RecoverAll();
    state.counters["records"] = f.db->tblCalls.Cursor()->RecordCount();
    state.counters["recordings"] = double(QDir(f.settings.edtFolder).count());
    state.counters["filed"] = s.Recovered;
}
BENCHMARK(BM_StartupScanNothingToFile)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
