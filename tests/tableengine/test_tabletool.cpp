// tabletool end to end: the built tool run on files in a temporary folder.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "MalformedImages.h"
#include "TVolgaCursor.h"
#include "TVolgaEnv.h"
#include "TVolgaSession.h"

namespace {

struct Result {
    int Status = -1;
    std::string Out, Err;
};

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

class TableToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/pelm_tabletool_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string Path(const std::string& name) const { return dir_ + "/" + name; }

    // Runs the tool with the arguments (no shell); `input` becomes its standard input.
    Result Run(const std::vector<std::string>& args, const std::string& input = "") {
        const std::string in = Path(".in"), out = Path(".out"), err = Path(".err");
        WriteText(in, input);
        pid_t pid = fork();
        if (pid == 0) {
            int fi = open(in.c_str(), O_RDONLY),
                fo = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600),
                fe = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            dup2(fi, 0);
            dup2(fo, 1);
            dup2(fe, 2);
            std::vector<char*> argv;
            std::string tool = TABLETOOL_PATH;
            argv.push_back(tool.data());
            std::vector<std::string> copy = args;
            for (std::string& a : copy) argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(tool.c_str(), argv.data());
            _exit(127);
        }
        Result r;
        int status = 0;
        waitpid(pid, &status, 0);
        r.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.Out = ReadText(out);
        r.Err = ReadText(err);
        return r;
    }

    std::string dir_;
};

const std::vector<std::string> kEveryType = {
    "si:smallint", "w:word",       "i:integer",    "li:largeint", "b:boolean",
    "f:float",     "c:currency",   "d:date",       "t:time",      "dt:datetime",
    "ai:autoinc",  "ss:string:10", "s:string:300", "m:memo",      "bl:blob"};

}  // namespace

TEST_F(TableToolTest, EveryTypeRoundTripsThroughImportAndDump) {
    const std::string table = Path("all.d");
    std::vector<std::string> create = {"create", table};
    create.insert(create.end(), kEveryType.begin(), kEveryType.end());
    Result r = Run(create);
    ASSERT_EQ(r.Status, 0) << r.Err;

    // Limits, negative values, milliseconds, UTF-8, escaped control bytes in texts and a BLOB
    // with zero bytes, then an all-empty row.
    const std::string header = "si\tw\ti\tli\tb\tf\tc\td\tt\tdt\tai\tss\ts\tm\tbl\n";
    const std::string rows =
        "-32768\t32767\t-2147483648\t-9223372036854775808\tYes\t-1.5\t19.99\t0001-01-01\t"
        "23:59:59.999\t2026-12-09 10:11:12.345\t\tПриве\tcol1\\tcol2 \\\\ end\tline1\\r\\nline2\t"
        "\\x00\\x01\\xFFab\n"
        "32767\t0\t2147483647\t9223372036854775807\tNo\t0.000001\t0\t9999-12-31\t00:00:01\t"
        "1899-12-30 00:00:01\t\t0123456789\tx\t\t\n"
        "\t\t\t\t\t\t\t\t\t\t\t\t\t\t\n";
    r = Run({"import", table, "-"}, "");  // "-" is standard input, here without a header
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find("(standard input): no header line"), std::string::npos) << r.Err;
    WriteText(Path("in.tsv"), header + rows);
    r = Run({"import", table, Path("in.tsv")});
    ASSERT_EQ(r.Status, 0) << r.Err;

    r = Run({"dump", table});
    ASSERT_EQ(r.Status, 0) << r.Err;
    // The AutoInc field numbers the records; a false Boolean, zero numbers and an empty row
    // come back in their text forms; bytes from 0x80 up are written as they are.
    const std::string expected =
        header +
        "-32768\t32767\t-2147483648\t-9223372036854775808\tYes\t-1.5\t19.99\t0001-01-01\t"
        "23:59:59.999\t2026-12-09 10:11:12.345\t1\tПриве\tcol1\\tcol2 \\\\ end\tline1\\r\\nline2\t"
        "\\x00\\x01\xFF"
        "ab\n"
        "32767\t0\t2147483647\t9223372036854775807\tNo\t0.000001\t0\t9999-12-31\t00:00:01\t"
        "1899-12-30 00:00:01\t2\t0123456789\tx\t\t\n"
        "0\t0\t0\t0\tNo\t0\t0\t\t\t\t3\t\t\t\t\n";
    EXPECT_EQ(r.Out, expected);

    // The dump imports again into an empty table of the same layout and dumps the same.
    const std::string copy = Path("copy.d");
    create[1] = copy;
    ASSERT_EQ(Run(create).Status, 0);
    WriteText(Path("dump.tsv"), r.Out);
    ASSERT_EQ(Run({"import", copy, Path("dump.tsv")}).Status, 0);
    EXPECT_EQ(Run({"dump", copy}).Out, expected);
    EXPECT_EQ(Run({"check", copy}).Out, "3\n");
}

// Memo and BLOB cells are stored whole: longer than any String may be, every byte value, and a
// BLOB of one zero byte is a value, not an empty cell.
TEST_F(TableToolTest, ImportStoresLongMemoAndBlobValuesWhole) {
    const std::string table = Path("long.d");
    ASSERT_EQ(Run({"create", table, "n:integer", "m:memo", "bl:blob"}).Status, 0);
    std::string memo, memoCell;
    for (int i = 0; memo.size() < 20000; ++i) {
        memo += "line " + std::to_string(i) + " \\ end\r\n";
        memoCell += "line " + std::to_string(i) + " \\\\ end\\r\\n";
    }
    std::string blob, blobCell;
    static const char kHex[] = "0123456789ABCDEF";
    for (int b = 0; b < 256; ++b) {
        blob += static_cast<char>(b);
        blobCell += std::string("\\x") + kHex[b >> 4] + kHex[b & 15];
    }
    const std::string tsv =
        "n\tm\tbl\n1\t" + memoCell + "\t" + blobCell + "\n2\t\t\\x00\n3\tshort\t\n";
    Result r = Run({"import", table}, tsv);
    ASSERT_EQ(r.Status, 0) << r.Err;

    TVolgaCursor c;
    std::string message;
    ASSERT_TRUE(c.LoadFromImage(ReadText(table), message)) << message;
    ASSERT_EQ(c.RecordCount(), 3);
    const TVolgaField& m = *c.FieldByName("m");
    const TVolgaField& bl = *c.FieldByName("bl");
    EXPECT_EQ(m.GetText(c.Record(0)->Data), memo);
    EXPECT_EQ(bl.GetText(c.Record(0)->Data), blob);
    EXPECT_TRUE(m.IsZero(c.Record(1)->Data));
    EXPECT_EQ(bl.GetText(c.Record(1)->Data), std::string(1, '\0'));
    EXPECT_EQ(m.GetText(c.Record(2)->Data), "short");
    EXPECT_TRUE(bl.IsZero(c.Record(2)->Data));
    EXPECT_EQ(Run({"check", table}).Out, "3\n");
}

TEST_F(TableToolTest, ImportFromStandardInputWithOtherDateAndTimeForms) {
    const std::string table = Path("calls.d");
    ASSERT_EQ(Run({"create", table, "Call Date:date", "Start:time", "At:datetime"}).Status, 0);
    const std::vector<std::string> forms = {"--date-format", "dd.mm.yyyy", "--time-format",
                                            "hh:nn"};
    std::vector<std::string> import = {"import", table};
    import.insert(import.end(), forms.begin(), forms.end());
    // Field names are matched ignoring case; the space of the name is stored as "_".
    Result r = Run(import, "CALL_DATE\tstart\tat\n09.12.2026\t10:11\t31.01.2027 23:05\n");
    ASSERT_EQ(r.Status, 0) << r.Err;

    std::vector<std::string> dump = {"dump", table};
    EXPECT_EQ(Run(dump).Out, "Call_Date\tStart\tAt\n2026-12-09\t10:11:00\t2027-01-31 23:05:00\n");
    dump.insert(dump.end(), forms.begin(), forms.end());
    EXPECT_EQ(Run(dump).Out, "Call_Date\tStart\tAt\n09.12.2026\t10:11\t31.01.2027 23:05\n");
}

TEST_F(TableToolTest, BadImportsFailWithTheLineAndChangeNothing) {
    const std::string table = Path("t.d");
    ASSERT_EQ(Run({"create", table, "n:integer", "name:string:5", "b:boolean", "d:date"}).Status,
              0);
    ASSERT_EQ(Run({"import", table}, "n\tname\n1\tone\n").Status, 0);
    const std::string before = ReadText(table);

    struct Case {
        std::string Tsv, Message;
    };
    const std::vector<Case> cases = {
        {"n\tname\n2\ttwo\nx3\tthree\n", ":3: n: 'x3' is not an integer"},
        {"n\tname\n2\ttwo\n99999999999\tbig\n", ":3: n: '99999999999' is not an integer"},
        {"n\tname\n2\ttoo long\n", ":2: name: 'too long' is too long (8 bytes; the field holds 5)"},
        {"n\tb\n2\tmaybe\n", ":2: b: 'maybe' is not a Boolean"},
        {"n\td\n2\t2026-02-30\n", ":2: d: '2026-02-30' is not a date in the form yyyy-mm-dd"},
        {"n\tname\n2\n", ":2: 1 cells, expected 2"},
        {"n\tnope\n2\tx\n", ":1: the table has no field 'nope'"},
        {"n\tN\n2\t3\n", ":1: field 'N' given twice"},
        {"", "no header line"},
    };
    for (const Case& c : cases) {
        Result r = Run({"import", table}, c.Tsv);
        EXPECT_EQ(r.Status, 1) << c.Tsv;
        EXPECT_NE(r.Err.find(c.Message), std::string::npos) << r.Err;
        EXPECT_EQ(ReadText(table), before) << c.Tsv;
    }
    Result r = Run({"import", table, Path("missing.tsv")});
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find("missing.tsv: No such file"), std::string::npos) << r.Err;
    EXPECT_EQ(ReadText(table), before);
}

TEST_F(TableToolTest, CheckReportsCountOrLoadError) {
    const std::string table = Path("t.d");
    ASSERT_EQ(Run({"create", table, "n:integer", "name:string:40"}).Status, 0);
    Result r = Run({"check", table});
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Out, "0\n");
    ASSERT_EQ(Run({"import", table}, "n\tname\n1\tone\n2\ttwo\n3\tthree\n").Status, 0);
    r = Run({"check", table});
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Out, "3\n");

    const std::string good = ReadText(table);
    struct Case {
        std::string Image, Message;
    };
    std::string badKind = good;
    badKind[4] = 'Q';
    std::string noEntryEnd = good;
    noEntryEnd[noEntryEnd.find('\x12')] = ' ';
    std::string moreDeclared = good;
    moreDeclared[5] = 4;
    const std::vector<Case> cases = {
        {good.substr(0, good.size() - 3), "Unexpected end of buffer"},
        {good.substr(0, 3), "Buffer structure corruption!"},
        {badKind, "Buffer structure corruption!"},
        {noEntryEnd, "Error in buffer structure (field description section)"},
        {moreDeclared, "Number of records read (3) does not match declared record count (4)"},
    };
    for (const Case& c : cases) {
        WriteText(Path("bad.d"), c.Image);
        r = Run({"check", Path("bad.d")});
        EXPECT_EQ(r.Status, 1) << c.Message;
        EXPECT_EQ(r.Out, "");
        EXPECT_NE(r.Err.find(c.Message), std::string::npos) << r.Err;
    }
    // Bytes after the declared records are not read, as when the table is opened.
    WriteText(Path("trailing.d"), good + "trailing bytes");
    r = Run({"check", Path("trailing.d")});
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Out, "3\n");
    r = Run({"check", Path("none.d")});
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find("No such file"), std::string::npos) << r.Err;
}

// check reads without building records; it must say what opening the table says (dump opens
// it the way the program does), for every kind of damage the loader knows.
TEST_F(TableToolTest, CheckAgreesWithOpeningTheTable) {
    std::vector<malformed::NamedImage> images = malformed::Images();
    for (auto& seed : malformed::CorpusImages(LOADER_CORPUS_DIR)) images.push_back(seed);
    int n = 0;
    for (const auto& [name, image, password] : images) {
        const std::string path = Path("image" + std::to_string(++n) + ".d");
        WriteText(path, image);
        std::vector<std::string> check = {"check", path}, dump = {"dump", path};
        if (!password.empty()) {
            for (auto* args : {&check, &dump}) args->insert(args->end(), {"--password", password});
        }
        TVolgaSession::Instance().ClearPasswords();
        TVolgaCursor c;
        c.Password = password;
        std::string message;
        const bool loads = c.LoadFromImage(image, message);

        const Result checked = Run(check), dumped = Run(dump);
        if (loads) {
            EXPECT_EQ(checked.Status, 0) << name << ": " << checked.Err;
            EXPECT_EQ(checked.Out, std::to_string(c.RecordCount()) + "\n") << name;
            EXPECT_EQ(dumped.Status, 0) << name << ": " << dumped.Err;
            EXPECT_EQ(std::count(dumped.Out.begin(), dumped.Out.end(), '\n'),
                      c.RecordCount() + 1)
                << name;
        } else {
            EXPECT_EQ(checked.Status, 1) << name;
            EXPECT_EQ(checked.Out, "") << name;
            EXPECT_EQ(checked.Err, "tabletool: " + path + ": " + message + "\n") << name;
            EXPECT_EQ(dumped.Err, "tabletool: " + path + ": Error opening table: " + message + "\n")
                << name;
        }
    }
}

TEST_F(TableToolTest, ProtectedTables) {
    const std::string table = Path("p.d");
    ASSERT_EQ(Run({"--password", "pa55", "create", table, "name:string:20"}).Status, 0);
    ASSERT_EQ(Run({"import", table, "--password", "pa55"}, "name\nsecret\n").Status, 0);
    EXPECT_EQ(ReadText(table).find("secret"), std::string::npos);
    Result r = Run({"check", table});
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find("Invalid password. Table cannot be open"), std::string::npos) << r.Err;
    EXPECT_EQ(Run({"check", table, "--password", "pa55"}).Out, "1\n");
    EXPECT_EQ(Run({"dump", table, "--password", "pa55"}).Out, "name\nsecret\n");

    // A password given for a plain table does not protect it.
    const std::string plain = Path("plain.d");
    ASSERT_EQ(Run({"create", plain, "name:string:20"}).Status, 0);
    ASSERT_EQ(Run({"import", plain, "--password", "pa55"}, "name\nopen\n").Status, 0);
    EXPECT_EQ(ReadText(plain)[4], 'S');
}

TEST_F(TableToolTest, ExportFormats) {
    const std::string table = Path("t.d");
    ASSERT_EQ(Run({"create", table, "n:integer", "name:string:40", "t:time", "m:memo"}).Status, 0);
    ASSERT_EQ(Run({"import", table},
                  "n\tname\tt\tm\n1\tsay \"hi\"\t10:11:12\tmemo\n2\ta,b;c\t10:11:12.5\t\n")
                  .Status,
              0);
    // Memo and BLOB fields are not exported; one time with milliseconds gives all of them.
    struct Case {
        std::string Flag, Expected;
    };
    const std::vector<Case> cases = {
        {"--tab", "n\tname\tt\r\n1\tsay \"hi\"\t10:11:12.000\r\n2\ta,b;c\t10:11:12.500\r\n"},
        {"--comma",
         "\"n\",\"name\",\"t\"\r\n\"1\",\"say \"\"hi\"\"\",\"10:11:12.000\"\r\n"
         "\"2\",\"a,b;c\",\"10:11:12.500\"\r\n"},
        {"--semicolon",
         "\"n\";\"name\";\"t\"\r\n\"1\";\"say \"\"hi\"\"\";\"10:11:12.000\"\r\n"
         "\"2\";\"a,b;c\";\"10:11:12.500\"\r\n"},
    };
    for (const Case& c : cases) {
        Result r = Run({"export", table, Path("out.txt"), c.Flag});
        ASSERT_EQ(r.Status, 0) << r.Err;
        EXPECT_EQ(ReadText(Path("out.txt")), c.Expected) << c.Flag;
    }
    Result r = Run({"export", table, Path("out2.txt"), "--comma", "--time-format", "hh:nn"});
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(ReadText(Path("out2.txt")),
              "\"n\",\"name\",\"t\"\r\n\"1\",\"say \"\"hi\"\"\",\"10:11\"\r\n"
              "\"2\",\"a,b;c\",\"10:11\"\r\n");
}

TEST_F(TableToolTest, CreateRefusesAnExistingFile) {
    const std::string table = Path("t.d");
    WriteText(table, "not a table");
    Result r = Run({"create", table, "n:integer"});
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find("already exists"), std::string::npos);
    EXPECT_EQ(ReadText(table), "not a table");
}

TEST_F(TableToolTest, UsageErrorsExitTwoWithTheUsage) {
    const std::string t = Path("t.d");
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"frobnicate", t},
        {"dump"},
        {"dump", t, "extra"},
        {"check"},
        {"import"},
        {"import", t, "a.tsv", "b.tsv"},
        {"create", t},
        {"create", t, "n"},
        {"create", t, ":integer"},
        {"create", t, "n:number"},
        {"create", t, "s:string"},
        {"create", t, "s:string:0"},
        {"create", t, "s:string:9000"},
        {"create", t, "s:string:x"},
        {"create", t, "n:integer:4"},
        {"create", t, "n:integer", "N:string:5"},
        {"export", t, Path("o.txt")},
        {"export", t, Path("o.txt"), "--tab", "--comma"},
        {"dump", t, "--tab"},
        {"dump", t, "--date-format"},
        {"dump", t, "--verbose"},
    };
    for (const auto& args : cases) {
        Result r = Run(args);
        std::string joined;
        for (const auto& a : args) joined += a + " ";
        EXPECT_EQ(r.Status, 2) << joined;
        EXPECT_NE(r.Err.find("usage: tabletool"), std::string::npos) << joined;
        EXPECT_EQ(r.Out, "");
    }
    EXPECT_FALSE(std::filesystem::exists(t));
}

TEST_F(TableToolTest, SqlPrintsTheResultAndExportWritesXml) {
    const std::string t = Path("Calls.d");
    ASSERT_EQ(Run({"create", t, "callID:string:10", "Channel:integer", "Memo:string:255"}).Status, 0);
    ASSERT_EQ(Run({"import", t}, "callID\tChannel\tMemo\nA1\t1\tsome URGENT thing\nA2\t0\turgent\n"
                                 "A3\t1\ttab\\there\n")
                  .Status,
              0);
    Result r = Run({"sql", dir_, "SELECT * FROM calls WHERE calls.memo LIKE '%urgent%' AND "
                                 "calls.channel = 1"});
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Out, "callID\tChannel\tMemo\nA1\t1\tsome URGENT thing\n");
    r = Run({"sql", dir_, "SELECT memo AS m, COUNT(callID) FROM calls WHERE channel = 1 GROUP BY m"});
    EXPECT_EQ(r.Out, "m\tCount_callID\nsome URGENT thing\t1\ntab\\there\t1\n");
    r = Run({"sql", dir_, "SELECT x FROM calls"});
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Err, "tabletool: Field x is not found in table calls\n");
    EXPECT_EQ(Run({"sql", dir_}).Status, 2);

    const std::string xml = Path("out.xml");
    r = Run({"export", t, xml, "--xml"});
    EXPECT_EQ(r.Status, 0) << r.Err;
    const std::string doc = ReadText(xml);
    EXPECT_NE(doc.find("<z:row callID=\"A3\" Channel=\"1\" Memo=\"tab&#9;here\"/>\r\n</rs:data>\r\n"
                       "</xml>\r\n"),
              std::string::npos)
        << doc;
    EXPECT_EQ(Run({"export", t, xml, "--xml", "--comma"}).Status, 2);
}
