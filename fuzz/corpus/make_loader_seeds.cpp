// Writes the seed images of the loader fuzzer into a folder:
//   make_loader_seeds fuzz/corpus/loader
// The images are small and deterministic except the protected one (a new data key per save).
#include <cstdio>
#include <string>
#include <vector>

#include "../../bench/CallsTableGenerator.h"
#include "EVolgaError.h"
#include "TVolgaCursor.h"
#include "TVolgaEnv.h"

namespace {

void Load(TVolgaCursor& c, const std::vector<TVolgaFieldDef>& defs) {
    std::string message;
    if (!c.LoadFromImage(TVolgaCursor::BuildEmptyImage(defs), message)) throw EVolgaError(message);
}

void Post(TVolgaCursor& c, const TVolgaRecordData& d) {
    std::string message;
    if (!c.PostRecord(d, nullptr, message)) throw EVolgaError(message);
}

void Write(const std::string& dir, const char* name, TVolgaCursor& c) {
    std::string image, error;
    c.BuildImage(image);
    if (!TVolgaEnv::Default()->WriteFileAtomic(dir + "/" + name, image, error))
        throw EVolgaError(error);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_loader_seeds FOLDER\n");
        return 2;
    }
    const std::string dir = argv[1];
    try {
        {  // The two-field folder example: FolderID AB12, Expanded true.
            TVolgaCursor c;
            Load(c,
                 {{"FolderID", TFieldType::ftString, 10}, {"Expanded", TFieldType::ftBoolean, 0}});
            TVolgaRecordData d = c.NewBuffer();
            c.Field(0)->SetText(d, "AB12");
            c.Field(1)->SetBool(d, true);
            Post(c, d);
            Write(dir, "folder_example.d", c);
        }
        {  // No records.
            TVolgaCursor c;
            Load(c, {{"Number", TFieldType::ftInteger, 0}, {"Name", TFieldType::ftString, 40}});
            Write(dir, "empty.d", c);
        }
        {  // Every type, notes, attributes, an all-empty record and a full one.
            TVolgaCursor c;
            Load(c, {{"si", TFieldType::ftSmallint, 0},
                     {"i", TFieldType::ftInteger, 0},
                     {"li", TFieldType::ftLargeint, 0},
                     {"b", TFieldType::ftBoolean, 0},
                     {"f", TFieldType::ftFloat, 0},
                     {"c", TFieldType::ftCurrency, 0},
                     {"d", TFieldType::ftDate, 0},
                     {"t", TFieldType::ftTime, 0},
                     {"dt", TFieldType::ftDateTime, 0},
                     {"ai", TFieldType::ftAutoInc, 0},
                     {"ss", TFieldType::ftString, 12},
                     {"s", TFieldType::ftString, 80},
                     {"m", TFieldType::ftMemo, 0},
                     {"fm", TFieldType::ftFmtMemo, 0},
                     {"bl", TFieldType::ftBlob, 0},
                     {"g", TFieldType::ftGraphic, 0}});
            c.Notes = "seed notes";
            c.Field(1)->DefaultValue = "7";
            c.Field(11)->Extra = "extra";
            c.Field(11)->Alias = "T";
            Post(c, c.NewBuffer());
            TVolgaRecordData d = c.NewBuffer();
            c.Field(0)->SetInt(d, -12);
            c.Field(1)->SetInt(d, 123456);
            c.Field(2)->SetInt(d, -9000000000ll);
            c.Field(3)->SetBool(d, true);
            c.Field(4)->SetFloat(d, 3.25);
            c.Field(5)->SetFloat(d, 19.99);
            c.Field(6)->SetInt(d, 739594);
            c.Field(7)->SetInt(d, 36672345);
            c.Field(8)->SetFloat(d, 739594.0 * 86400000 + 36672345);
            c.Field(10)->SetText(d, "short");
            c.Field(11)->SetText(d, "a longer string value");
            c.Field(12)->SetText(d, "memo\r\nlines");
            c.Field(13)->SetText(d, "{\\rtf1 x}");
            c.Field(14)->SetText(d, std::string("\0\1\2\377", 4));
            c.Field(15)->SetText(d, "GIF89a");
            Post(c, d);
            Write(dir, "every_type.d", c);
        }
        {  // Password-protected (password "fuzz", which the fuzzer sets on its cursors).
            TVolgaCursor c;
            Load(c, {{"Name", TFieldType::ftString, 20}, {"Notes", TFieldType::ftMemo, 0}});
            c.Password = "fuzz";
            c.Notes = "n";
            TVolgaRecordData d = c.NewBuffer();
            c.Field(0)->SetText(d, "secret");
            c.Field(1)->SetText(d, "hidden memo");
            Post(c, d);
            Write(dir, "protected.d", c);
        }
        {  // A few calls.
            TVolgaCursor c;
            Load(c, callsgen::CallsFieldDefs());
            callsgen::AppendCalls(c, 3);
            Write(dir, "calls3.d", c);
        }
        {  // An error record: length, kind "E", the message.
            std::string image = std::string(4, '\0') + "ETable is broken";
            image[0] = static_cast<char>(image.size());
            std::string error;
            if (!TVolgaEnv::Default()->WriteFileAtomic(dir + "/error_record.d", image, error))
                throw EVolgaError(error);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_loader_seeds: %s\n", e.what());
        return 1;
    }
    return 0;
}
