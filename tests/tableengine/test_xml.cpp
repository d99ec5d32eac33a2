// XML rowset export: the document line for line, escaping, field numbering, UTF-8 output that
// xmllint accepts, progress.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "EVolgaError.h"
#include "TVolgaDatabase.h"
#include "TVolgaEnv.h"
#include "TVolgaTable.h"
#include "TVolgaXMLConverter.h"

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// Lines of a document whose every line ends in CR LF (the last one too).
std::vector<std::string> CrLfLines(const std::string& doc) {
    std::vector<std::string> out;
    size_t pos = 0;
    while (pos < doc.size()) {
        size_t end = doc.find("\r\n", pos);
        if (end == std::string::npos) {
            out.push_back("(no CR LF after) " + doc.substr(pos));
            break;
        }
        out.push_back(doc.substr(pos, end - pos));
        pos = end + 2;
    }
    return out;
}

bool XmlLintAccepts(const fs::path& file) {
    std::string cmd = "xmllint --noout '" + file.string() + "' 2>/dev/null";
    return std::system(cmd.c_str()) == 0;
}

const std::vector<std::string> kHead = {
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>",
    "<xml xmlns:s=\"uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882\"",
    "xmlns:dt=\"uuid:C2F41010-65B3-11d1-A29F-00AA00C14882\"",
    "xmlns:rs=\"urn:schemas-microsoft-com:rowset\"",
    "xmlns:z=\"#RowsetSchema\">",
    "<s:Schema id=\"RowsetSchema\">",
    "<s:ElementType name=\"row\" content=\"eltOnly\">",
};

class XmlTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("volga_xml_" + std::to_string(getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        db.SetDatabasePath(dir.string());
    }
    void TearDown() override { fs::remove_all(dir); }

    std::unique_ptr<TVolgaTable> Table(const std::vector<TVolgaFieldDef>& defs) {
        auto t = std::make_unique<TVolgaTable>(&db);
        t->Name = "Calls";
        t->SetTableName("Calls.d");
        t->FieldDefs = defs;
        t->CreateTable();
        return t;
    }
    std::vector<std::string> Export(TVolgaDataset& ds) {
        ds.ExportToXML((dir / "out.xml").string(), "UTF-8");
        return CrLfLines(ReadAll(dir / "out.xml"));
    }

    fs::path dir;
    TVolgaDatabase db;
};

TEST_F(XmlTest, EmptyTableIsTheSchemaAndAnEmptyDataSection) {
    auto t = Table({{"callID", TFieldType::ftString, 10}, {"Channel", TFieldType::ftInteger, 0}});
    std::vector<std::string> expected = kHead;
    for (const char* l :
         {"<s:AttributeType name=\"callID\" rs:number=\"0\"",
          "rs:basetable=\"Calls\" rs:basecolumn=\"callID\" rs:maybenull=\"true\">",
          "<s:datatype dt:type=\"string\" dt:maxLength=\"10\"/>", "</s:AttributeType>",
          "<s:AttributeType name=\"Channel\" rs:number=\"1\"",
          "rs:basetable=\"Calls\" rs:basecolumn=\"Channel\" rs:maybenull=\"true\">",
          "<s:datatype dt:type=\"int\" dt:maxLength=\"4\" rs:precision=\"10\" rs:fixedlength=\"true\"/>",
          "</s:AttributeType>", "</s:ElementType>", "</s:Schema>", "<rs:data>", "</rs:data>",
          "</xml>"})
        expected.push_back(l);
    EXPECT_EQ(Export(*t), expected);
    EXPECT_TRUE(XmlLintAccepts(dir / "out.xml"));
}

TEST_F(XmlTest, DatatypeLinesAndNumberingOfTwelveFields) {
    auto t = Table({{"s", TFieldType::ftString, 64},    {"si", TFieldType::ftSmallint, 0},
                    {"i", TFieldType::ftInteger, 0},    {"b", TFieldType::ftBoolean, 0},
                    {"f", TFieldType::ftFloat, 0},      {"c", TFieldType::ftCurrency, 0},
                    {"d", TFieldType::ftDate, 0},       {"t", TFieldType::ftTime, 0},
                    {"dt", TFieldType::ftDateTime, 0},  {"a", TFieldType::ftAutoInc, 0},
                    {"m", TFieldType::ftMemo, 0},       {"big", TFieldType::ftLargeint, 0}});
    t->Close();
    t->AddCalcField("w", TFieldType::ftWord);  // a thirteenth, calculated field
    t->Open();
    t->Append();
    t->FieldByName("s").SetAsString("x");
    t->FieldByName("i").SetAsInteger(-5);
    t->FieldByName("b").SetAsBoolean(true);
    t->FieldByName("f").SetAsFloat(2.5);
    t->FieldByName("d").SetAsString("2024-06-15");
    t->FieldByName("t").SetAsString("10:30:00");
    t->FieldByName("m").SetAsString("memo text");
    t->Post();
    std::vector<std::string> lines = Export(*t);
    std::vector<std::string> numbers, types;
    for (const std::string& l : lines) {
        if (l.rfind("<s:AttributeType ", 0) == 0) numbers.push_back(l.substr(l.find("rs:number")));
        if (l.rfind("<s:datatype ", 0) == 0) types.push_back(l);
    }
    std::vector<std::string> expectedNumbers;
    for (int i = 0; i <= 12; ++i) expectedNumbers.push_back("rs:number=\"" + std::to_string(i) + "\"");
    EXPECT_EQ(numbers, expectedNumbers);
    const std::vector<std::string> expectedTypes = {
        "<s:datatype dt:type=\"string\" dt:maxLength=\"64\"/>",
        "<s:datatype dt:type=\"i2\" dt:maxLength=\"2\" rs:precision=\"5\" rs:fixedlength=\"true\"/>",
        "<s:datatype dt:type=\"int\" dt:maxLength=\"4\" rs:precision=\"10\" rs:fixedlength=\"true\"/>",
        "<s:datatype dt:type=\"boolean\"/>",
        "<s:datatype dt:type=\"float\" dt:maxLength=\"8\" rs:precision=\"19\" rs:fixedlength=\"true\"/>",
        "<s:datatype dt:type=\"i8\" rs:dbtype=\"currency\" dt:maxLength=\"8\" rs:precision=\"19\" "
        "rs:fixedlength=\"true\"/>",
        "<s:datatype dt:type=\"date\"/>",
        "<s:datatype dt:type=\"time.iso8601\"/>",
        "<s:datatype dt:type=\"datetime.iso8601\"/>",
        "<s:datatype dt:type=\"int\" dt:maxLength=\"4\" rs:precision=\"10\" rs:fixedlength=\"true\"/>",
        // memo and largeint have none
        "<s:datatype dt:type=\"ui2\" dt:maxLength=\"2\" rs:precision=\"5\" rs:fixedlength=\"true\"/>",
    };
    EXPECT_EQ(types, expectedTypes);
    // The memo is in the schema but not in the rows; empty values give empty attributes.
    ASSERT_EQ(lines.size(), 7 + 13 * 4 - 2 + 6u);
    EXPECT_EQ(lines[lines.size() - 3],
              "<z:row s=\"x\" si=\"0\" i=\"-5\" b=\"Yes\" f=\"2.5\" c=\"0\" d=\"2024-06-15\" "
              "t=\"10:30:00\" dt=\"\" a=\"1\" big=\"\" w=\"\"/>");
    EXPECT_TRUE(XmlLintAccepts(dir / "out.xml"));
}

TEST_F(XmlTest, ValuesAreEscapedAndWrittenAsUtf8) {
    auto t = Table({{"Memo", TFieldType::ftString, 255}});
    for (const char* v : {"\"a<b & c\"", "it's > that", "Ünïcödé ✓ Москва",
                          "bad \xC4\xC0 bytes", "tab\there\r\nnew line", "bell\x07"}) {
        t->Append();
        t->FieldByName("Memo").SetAsString(v);
        t->Post();
    }
    std::vector<std::string> lines = Export(*t);
    std::vector<std::string> rows(lines.end() - 8, lines.end() - 2);
    EXPECT_EQ(rows, (std::vector<std::string>{
                        "<z:row Memo=\"&quot;a&lt;b &amp; c&quot;\"/>",
                        "<z:row Memo=\"it's &gt; that\"/>",
                        "<z:row Memo=\"Ünïcödé ✓ Москва\"/>",
                        // Bytes that are no UTF-8 are read as Windows-1252.
                        "<z:row Memo=\"bad \xC3\x84\xC3\x80 bytes\"/>",
                        "<z:row Memo=\"tab&#9;here&#13;&#10;new line\"/>",
                        "<z:row Memo=\"bell\xEF\xBF\xBD\"/>",
                    }));
    EXPECT_TRUE(XmlLintAccepts(dir / "out.xml"));
}

TEST_F(XmlTest, ConverterProperties) {
    auto t = Table({{"n", TFieldType::ftInteger, 0}});
    for (int i = 0; i < 3; ++i) {
        t->Append();
        t->FieldByName("n").SetAsInteger(i);
        t->Post();
    }
    t->SaveChanges();
    t->Close();
    std::vector<int> progress;
    TVolgaXMLConverter conv;
    conv.Dataset = t.get();
    conv.OnCallback = [&](int p) { progress.push_back(p); };
    conv.Run("");  // no file name: nothing happens
    EXPECT_FALSE(t->Active());
    // Defaults: origin "Table", encoding "windows-1252"; a closed dataset is opened.
    std::ofstream(dir / "conv.xml") << "old";
    conv.Run((dir / "conv.xml").string());
    EXPECT_TRUE(t->Active());
    std::vector<std::string> lines = CrLfLines(ReadAll(dir / "conv.xml"));
    EXPECT_EQ(lines[0], "<?xml version=\"1.0\" encoding=\"windows-1252\"?>");
    EXPECT_EQ(lines[8], "rs:basetable=\"Table\" rs:basecolumn=\"n\" rs:maybenull=\"true\">");
    EXPECT_EQ(progress, (std::vector<int>{33, 67, 100}));
    // Only the visible records, from the first; the current record stays.
    t->SetFilter("n >= 1");
    t->SetFiltered(true);
    t->Last();
    lines = Export(*t);
    EXPECT_EQ(lines[lines.size() - 4], "<z:row n=\"1\"/>");
    EXPECT_EQ(t->RecNo(), 2);
}

}  // namespace
