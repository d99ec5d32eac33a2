// Synthetic Calls tables for benchmarks and tests: the 26 fields of the calls database, filled
// the way the program fills them (eight-character call IDs, a few hundred folders, one recording
// per call on the main storage medium, the reserved fields at their written defaults).
//
// Header-only; needs only the cursor layer. The values are a pure function of the seed, so two
// runs (or a benchmark and the sqlite comparison) see the same rows.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "EVolgaError.h"
#include "TVolgaCursor.h"
#include "TVolgaFormatSettings.h"

namespace callsgen {

constexpr int kFolderCount = 400;

// Small deterministic generator (splitmix64): the standard distributions differ between
// library versions, this does not.
class Rng {
public:
    explicit Rng(uint64_t seed) : s_(seed) {}
    uint64_t Next() {
        uint64_t z = (s_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, n).
    uint32_t Below(uint32_t n) { return static_cast<uint32_t>(Next() % n); }

private:
    uint64_t s_;
};

inline std::vector<TVolgaFieldDef> CallsFieldDefs() {
    std::vector<TVolgaFieldDef> d = {
        {"callID", TFieldType::ftString, 10},      {"Channel", TFieldType::ftInteger, 0},
        {"FolderId", TFieldType::ftString, 20},    {"Date", TFieldType::ftDate, 0},
        {"startTime", TFieldType::ftTime, 0},      {"stopTime", TFieldType::ftTime, 0},
        {"inOut", TFieldType::ftInteger, 0},       {"dtmf", TFieldType::ftString, 20},
        {"callerID", TFieldType::ftString, 20},    {"Memo", TFieldType::ftString, 255},
        {"mediumLabel", TFieldType::ftString, 64}, {"mediumType", TFieldType::ftInteger, 0},
        {"fileName", TFieldType::ftString, 25},    {"fileSize", TFieldType::ftInteger, 0},
    };
    for (int i = 1; i <= 4; ++i)
        d.push_back({"bool" + std::to_string(i), TFieldType::ftBoolean, 0});
    for (int i = 1; i <= 4; ++i) d.push_back({"st" + std::to_string(i), TFieldType::ftString, 255});
    for (int i = 1; i <= 4; ++i) d.push_back({"real" + std::to_string(i), TFieldType::ftFloat, 0});
    return d;
}

// An identifier of eight upper-case letters and digits, as the program's generator makes them.
inline std::string UniqueId(Rng& rng) {
    static const char kChars[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::string id(8, ' ');
    for (char& c : id) c = kChars[rng.Below(36)];
    return id;
}

// The folder IDs of a generated table (the same list for every seed).
inline std::vector<std::string> FolderIds() {
    Rng rng(0xF01D3E5ull);
    std::vector<std::string> ids;
    ids.reserve(kFolderCount);
    for (int i = 0; i < kFolderCount; ++i) ids.push_back(UniqueId(rng));
    return ids;
}

// One generated call in plain values: the form both the table and the TSV are written from.
struct CallRow {
    std::string CallId;
    int Channel = 0;
    std::string FolderId;
    int Year = 2026, Month = 1, Day = 1;
    int32_t StartMs = 0, StopMs = 0;
    int InOut = 0;
    std::string Dtmf, CallerId, Memo;
    std::string FileName;
    int FileSize = 0;
};

class CallsGenerator {
public:
    explicit CallsGenerator(uint64_t seed = 20261209) : rng_(seed), folders_(FolderIds()) {}

    CallRow Next() {
        CallRow r;
        r.CallId = UniqueId(rng_);
        r.Channel = static_cast<int>(rng_.Below(2));
        // Some folders collect many more calls than others: half the calls go to the first
        // fortieth of the folders.
        uint32_t f = rng_.Below(2) == 0 ? rng_.Below(kFolderCount / 40) : rng_.Below(kFolderCount);
        r.FolderId = folders_[f];
        r.Month = 1 + static_cast<int>(rng_.Below(12));
        r.Day = 1 + static_cast<int>(rng_.Below(28));
        r.StartMs = static_cast<int32_t>(rng_.Below(86000)) * 1000;
        int32_t duration = static_cast<int32_t>(5 + rng_.Below(1800)) * 1000;
        r.StopMs = std::min<int32_t>(r.StartMs + duration, 86399000);
        r.InOut = static_cast<int>(rng_.Below(3));
        if (rng_.Below(4) == 0) {
            int n = 1 + static_cast<int>(rng_.Below(12));
            for (int i = 0; i < n; ++i) r.Dtmf += static_cast<char>('0' + rng_.Below(10));
        }
        switch (rng_.Below(10)) {
            case 0:
                r.CallerId = "PRIVATE NUMBER";
                break;
            case 1:
                r.CallerId = "LONG DISTANCE";
                break;
            default: {
                // Built in a buffer: GCC 12 at -O3 warns (-Wrestrict) about appending to "0".
                char digits[10] = {'0'};
                for (int i = 1; i < 10; ++i) digits[i] = static_cast<char>('0' + rng_.Below(10));
                r.CallerId.assign(digits, sizeof digits);
            }
        }
        r.Memo = rng_.Below(50) == 0 ? "Customer asked for a call back about order " +
                                           std::to_string(rng_.Below(100000))
                                     : " ";
        char name[40];
        int h = r.StartMs / 3600000, n = r.StartMs / 60000 % 60, s = r.StartMs / 1000 % 60;
        std::snprintf(name, sizeof name, "%d_%04d%02d%02d_%02d%02d%02d.wav", r.Channel, r.Year,
                      r.Month, r.Day, h, n, s);
        r.FileName = name;
        // 8 kHz, 16-bit mono: 15.6 KiB a second.
        r.FileSize = (r.StopMs - r.StartMs) / 1000 * 16000 / 1024;
        return r;
    }

private:
    Rng rng_;
    std::vector<std::string> folders_;
};

// Appends calls to a cursor loaded with the Calls layout.
inline void AppendRows(TVolgaCursor& c, const std::vector<CallRow>& rows) {
    TVolgaField* callId = c.FieldByName("callID");
    TVolgaField* channel = c.FieldByName("Channel");
    TVolgaField* folder = c.FieldByName("FolderId");
    TVolgaField* date = c.FieldByName("Date");
    TVolgaField* start = c.FieldByName("startTime");
    TVolgaField* stop = c.FieldByName("stopTime");
    TVolgaField* inOut = c.FieldByName("inOut");
    TVolgaField* dtmf = c.FieldByName("dtmf");
    TVolgaField* caller = c.FieldByName("callerID");
    TVolgaField* memo = c.FieldByName("Memo");
    TVolgaField* label = c.FieldByName("mediumLabel");
    TVolgaField* fileName = c.FieldByName("fileName");
    TVolgaField* fileSize = c.FieldByName("fileSize");
    std::vector<TVolgaField*> st;
    for (int i = 1; i <= 4; ++i) st.push_back(c.FieldByName("st" + std::to_string(i)));
    std::string message;
    for (const CallRow& r : rows) {
        TVolgaRecordData d = c.NewBuffer();
        callId->SetText(d, r.CallId);
        channel->SetInt(d, r.Channel);
        folder->SetText(d, r.FolderId);
        TDateTime day = 0;
        TVolgaFormatSettings::EncodeDate(r.Year, r.Month, r.Day, day);
        date->SetInt(d, TVolgaFormatSettings::DateToDayNumber(day));
        start->SetInt(d, r.StartMs);
        stop->SetInt(d, r.StopMs);
        inOut->SetInt(d, r.InOut);
        dtmf->SetText(d, r.Dtmf);
        caller->SetText(d, r.CallerId);
        memo->SetText(d, r.Memo);
        label->SetText(d, "Main storage medium");
        fileName->SetText(d, r.FileName);
        fileSize->SetInt(d, r.FileSize);
        for (TVolgaField* f : st) f->SetText(d, " ");
        if (!c.PostRecord(d, nullptr, message)) throw EVolgaError(message);
    }
}

// Appends `count` generated calls to a cursor loaded with the Calls layout.
inline void AppendCalls(TVolgaCursor& c, int count, uint64_t seed = 20261209) {
    CallsGenerator gen(seed);
    std::vector<CallRow> rows;
    rows.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) rows.push_back(gen.Next());
    AppendRows(c, rows);
}

// The complete image of a Calls table with these calls.
inline std::string CallsImage(const std::vector<CallRow>& rows) {
    TVolgaCursor c;
    std::string message;
    if (!c.LoadFromImage(TVolgaCursor::BuildEmptyImage(CallsFieldDefs()), message))
        throw EVolgaError(message);
    AppendRows(c, rows);
    std::string image;
    c.BuildImage(image);
    return image;
}

// A call's date and a time of day in ISO form.
inline std::string DateText(const CallRow& r) {
    char b[16];
    std::snprintf(b, sizeof b, "%04d-%02d-%02d", r.Year, r.Month, r.Day);
    return b;
}
inline std::string TimeText(int32_t ms) {
    char b[16];
    std::snprintf(b, sizeof b, "%02d:%02d:%02d", ms / 3600000, ms / 60000 % 60, ms / 1000 % 60);
    return b;
}

// The complete image of a Calls table with `count` generated calls.
inline std::string CallsImage(int count, uint64_t seed = 20261209) {
    TVolgaCursor c;
    std::string message;
    if (!c.LoadFromImage(TVolgaCursor::BuildEmptyImage(CallsFieldDefs()), message))
        throw EVolgaError(message);
    AppendCalls(c, count, seed);
    std::string image;
    c.BuildImage(image);
    return image;
}

// The same calls as tab-separated text: a line of field names, then one line per call, dates
// and times in ISO form (what tabletool import reads and sqlite's .import takes).
inline void WriteCallsTsv(std::ostream& out, int count, uint64_t seed = 20261209) {
    bool first = true;
    for (const TVolgaFieldDef& d : CallsFieldDefs()) {
        if (!first) out << '\t';
        out << d.Name;
        first = false;
    }
    out << '\n';
    CallsGenerator gen(seed);
    for (int i = 0; i < count; ++i) {
        CallRow r = gen.Next();
        out << r.CallId << '\t' << r.Channel << '\t' << r.FolderId << '\t' << DateText(r) << '\t'
            << TimeText(r.StartMs) << '\t' << TimeText(r.StopMs) << '\t' << r.InOut
            << '\t' << r.Dtmf << '\t' << r.CallerId << '\t' << r.Memo << '\t'
            << "Main storage medium\t0\t" << r.FileName << '\t' << r.FileSize
            << "\tFalse\tFalse\tFalse\tFalse\t \t \t \t \t0\t0\t0\t0\n";
    }
}

}  // namespace callsgen
