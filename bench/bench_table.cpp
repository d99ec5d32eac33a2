// Table operations on a 100,000-record Calls table, as the program performs them: opening the
// table, filtering the grid by folder, finding a call by its ID, adding a call and saving, and
// exporting. Targets on the reference machine: open <= 50 ms, filter <= 10 ms, save <= 150 ms.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "CallsTableGenerator.h"
#include "EVolgaError.h"
#include "TVolgaCursor.h"
#include "TVolgaDatabase.h"
#include "TVolgaEnv.h"
#include "TVolgaTable.h"

namespace {

constexpr int kRecords = 100000;

// One generated table file per run, in a temporary folder removed at exit.
class Fixture {
public:
    static Fixture& Get() {
        static Fixture f;
        return f;
    }
    const std::string& Image() const { return image_; }
    const std::string& Dir() const { return dir_; }
    std::string TablePath() const { return dir_ + "/Calls.d"; }
    // A fresh copy of the generated table (for the benchmarks that change it).
    std::string FreshCopy(const std::string& name) const {
        std::string path = dir_ + "/" + name, error;
        if (!TVolgaEnv::Default()->WriteFileAtomic(path, image_, error)) throw EVolgaError(error);
        return path;
    }
    const std::vector<std::string>& CallIds() const { return callIds_; }

    ~Fixture() {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }

private:
    Fixture() {
        char tmpl[] = "/tmp/pelm_bench_XXXXXX";
        if (!mkdtemp(tmpl)) throw EVolgaError("cannot create a temporary folder");
        dir_ = tmpl;
        image_ = callsgen::CallsImage(kRecords);
        FreshCopy("Calls.d");
        callsgen::CallsGenerator gen;
        for (int i = 0; i < kRecords; ++i) callIds_.push_back(gen.Next().CallId);
    }
    std::string dir_;
    std::string image_;
    std::vector<std::string> callIds_;
};

void OpenCalls(TVolgaTable& t, const std::string& path) {
    t.SetTableName(path);
    t.Open();
}

// Load of the image alone, from memory.
void BM_CursorLoadImage(benchmark::State& state) {
    const std::string& image = Fixture::Get().Image();
    for (auto _ : state) {
        TVolgaCursor c;
        std::string message;
        if (!c.LoadFromImage(image, message)) state.SkipWithError(message.c_str());
        benchmark::DoNotOptimize(c.RecordCount());
        state.PauseTiming();  // releasing the records is not part of loading
        c.Clear();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * image.size()));
}
BENCHMARK(BM_CursorLoadImage)->Unit(benchmark::kMillisecond);

// Building the image alone, into memory.
void BM_CursorBuildImage(benchmark::State& state) {
    TVolgaCursor c;
    std::string message;
    c.LoadFromImage(Fixture::Get().Image(), message);
    for (auto _ : state) {
        std::string image;
        c.BuildImage(image);
        benchmark::DoNotOptimize(image.data());
    }
}
BENCHMARK(BM_CursorBuildImage)->Unit(benchmark::kMillisecond);

// Opening the table file: read, load, fields, visible list.
void BM_Open(benchmark::State& state) {
    TVolgaDatabase db;
    TVolgaTable t(&db);
    t.SetTableName(Fixture::Get().TablePath());
    for (auto _ : state) {
        t.Open();
        benchmark::DoNotOptimize(t.RecordCount());
        state.PauseTiming();
        t.Close();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Open)->Unit(benchmark::kMillisecond);

// The grid's folder filter: set the filter text and switch it on, on the open table.
void BM_FilterByFolder(benchmark::State& state) {
    TVolgaDatabase db;
    TVolgaTable t(&db);
    OpenCalls(t, Fixture::Get().TablePath());
    const std::vector<std::string> folders = callsgen::FolderIds();
    size_t next = 0;
    int64_t shown = 0;
    for (auto _ : state) {
        state.PauseTiming();
        t.SetFiltered(false);
        const std::string filter = "FolderID='" + folders[next++ % folders.size()] + "'";
        state.ResumeTiming();
        t.SetFilter(filter);
        t.SetFiltered(true);
        shown += t.RecordCount();
    }
    state.counters["records shown"] =
        benchmark::Counter(static_cast<double>(shown), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_FilterByFolder)->Unit(benchmark::kMillisecond);

// Locate by call ID over the unsorted table (a scan), for IDs spread over the whole table.
void BM_LocateCallId(benchmark::State& state) {
    TVolgaDatabase db;
    TVolgaTable t(&db);
    OpenCalls(t, Fixture::Get().TablePath());
    const std::vector<std::string>& ids = Fixture::Get().CallIds();
    callsgen::Rng rng(7);
    for (auto _ : state) {
        const std::string& id = ids[rng.Below(static_cast<uint32_t>(ids.size()))];
        if (!t.Locate("callID", TVolgaValue(id))) state.SkipWithError("call not found");
    }
}
BENCHMARK(BM_LocateCallId)->Unit(benchmark::kMillisecond);

// Adding one call and saving the table, as the program does at the end of every call.
void BM_AppendAndSave(benchmark::State& state) {
    TVolgaDatabase db;
    TVolgaTable t(&db);
    OpenCalls(t, Fixture::Get().FreshCopy("CallsSave.d"));
    callsgen::CallsGenerator gen(99);
    for (auto _ : state) {
        callsgen::CallRow r = gen.Next();
        t.Append();
        t.FieldByName("callID").SetAsString(r.CallId);
        t.FieldByName("Channel").SetAsInteger(r.Channel);
        t.FieldByName("FolderId").SetAsString(r.FolderId);
        t.FieldByName("Date").SetAsString("2026-12-09");
        t.FieldByName("startTime").SetAsString("10:11:12");
        t.FieldByName("stopTime").SetAsString("10:15:00");
        t.FieldByName("callerID").SetAsString(r.CallerId);
        t.FieldByName("Memo").SetAsString(" ");
        t.FieldByName("mediumLabel").SetAsString("Main storage medium");
        t.FieldByName("fileName").SetAsString(r.FileName);
        t.FieldByName("fileSize").SetAsInteger(r.FileSize);
        for (int i = 1; i <= 4; ++i) t.FieldByName("st" + std::to_string(i)).SetAsString(" ");
        t.Post();
        t.SaveChanges();
    }
}
BENCHMARK(BM_AppendAndSave)->Unit(benchmark::kMillisecond);

// Exporting the whole table as tab-separated text.
void BM_ExportToText(benchmark::State& state) {
    TVolgaDatabase db;
    TVolgaTable t(&db);
    OpenCalls(t, Fixture::Get().TablePath());
    const std::string out = Fixture::Get().Dir() + "/export.txt";
    for (auto _ : state) t.ExportToText(out, '\t');
}
BENCHMARK(BM_ExportToText)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
