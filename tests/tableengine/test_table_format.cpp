// Byte layout of table images: building, loading and every load error.
#include <gtest/gtest.h>

#include <cstring>

#include "EVolgaError.h"
#include "TSapphire.h"
#include "TVolgaCursor.h"
#include "TVolgaSession.h"

namespace {

std::string Hex(const std::string& s) {
    static const char* d = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : s) {
        out += d[c >> 4];
        out += d[c & 15];
        out += ' ';
    }
    return out;
}

std::string Bytes(std::initializer_list<int> v) {
    std::string s;
    for (int b : v) s += static_cast<char>(b);
    return s;
}

// Loads an image, failing the test on error.
void Load(TVolgaCursor& c, const std::string& image) {
    std::string msg;
    ASSERT_TRUE(c.LoadFromImage(image, msg)) << msg;
}

std::string LoadError(const std::string& image, bool partial = false) {
    TVolgaCursor c;
    c.PartialOpen = partial;
    std::string msg;
    bool ok = c.LoadFromImage(image, msg);
    if (ok && msg.empty()) return "(loaded)";
    return msg;
}

std::string FolderExample() {
    TVolgaCursor c;
    Load(c, TVolgaCursor::BuildEmptyImage(
                {{"FolderID", TFieldType::ftString, 10}, {"Expanded", TFieldType::ftBoolean, 0}}));
    TVolgaRecordData d = c.NewBuffer();
    c.FieldByName("FolderID")->SetText(d, "AB12");
    c.FieldByName("Expanded")->SetBool(d, true);
    std::string msg;
    EXPECT_NE(c.PostRecord(d, nullptr, msg), nullptr);
    std::string image;
    c.BuildImage(image);
    return image;
}

}  // namespace

TEST(TableFormat, WorkedExampleIsExactly56Bytes) {
    const std::string expected = Bytes({
        0x38, 0x00, 0x00, 0x00, 0x53, 0x01, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00,
        0x1F, 0x00, 0x00, 0x00, 0x58, 0x58, 0x58, 0x2E, 0x46, 0x6F, 0x6C, 0x64, 0x65,
        0x72, 0x49, 0x44, 0x20, 0x41, 0x12, 0x58, 0x58, 0x58, 0x2E, 0x45, 0x78, 0x70,
        0x61, 0x6E, 0x64, 0x65, 0x64, 0x20, 0x62, 0x12, 0x14, 0x04, 0x02, 0x41, 0x42,
        0x31, 0x32, 0xFF, 0xFF,
    });
    ASSERT_EQ(expected.size(), 56u);
    std::string image = FolderExample();
    EXPECT_EQ(Hex(image), Hex(expected));

    TVolgaCursor c;
    Load(c, expected);
    ASSERT_EQ(c.RecordCount(), 1);
    EXPECT_EQ(c.FieldByName("folderid")->GetText(c.Record(0)->Data), "AB12");
    EXPECT_TRUE(c.FieldByName("Expanded")->GetBool(c.Record(0)->Data));
    EXPECT_EQ(c.Record(0)->StoredSize, 8);
}

TEST(TableFormat, EmptyTableAndAllZeroRecord) {
    std::string empty = TVolgaCursor::BuildEmptyImage({{"A", TFieldType::ftInteger, 0},
                                                       {"Call Date", TFieldType::ftDate, 0},
                                                       {"Unknown", TFieldType::ftUnknown, 0}});
    // 17 header bytes plus the section; nothing after it.
    uint32_t len;
    std::memcpy(&len, empty.data() + 13, 4);
    EXPECT_EQ(empty.size(), 17u + len);
    TVolgaCursor c;
    Load(c, empty);
    EXPECT_EQ(c.RecordCount(), 0);
    ASSERT_NE(c.FieldByName("Call_Date"), nullptr);  // spaces come back as underscores
    EXPECT_EQ(c.FieldByName("Unknown")->DataType, TVolgaFieldType::String);
    EXPECT_EQ(c.FieldByName("Unknown")->Size, 100);

    TVolgaRecordData d = c.NewBuffer();
    std::string msg;
    c.PostRecord(d, nullptr, msg);
    std::string image;
    c.BuildImage(image);
    // The all-empty record is just its three zero header bytes (the unknown type's "s" is
    // written back with its length of 100).
    EXPECT_NE(image.find("XXX.Unknown s100\x12\x14"), std::string::npos);
    EXPECT_EQ(image.substr(image.size() - 4), std::string("\x14\0\0\0", 4));
}

TEST(TableFormat, EveryTypeRoundTrips) {
    std::vector<TVolgaFieldDef> defs = {
        {"si", TFieldType::ftSmallint, 0}, {"w", TFieldType::ftWord, 0},
        {"i", TFieldType::ftInteger, 0},   {"li", TFieldType::ftLargeint, 0},
        {"b", TFieldType::ftBoolean, 0},   {"f", TFieldType::ftFloat, 0},
        {"c", TFieldType::ftCurrency, 0},  {"d", TFieldType::ftDate, 0},
        {"t", TFieldType::ftTime, 0},      {"dt", TFieldType::ftDateTime, 0},
        {"ai", TFieldType::ftAutoInc, 0},  {"s0", TFieldType::ftString, 1},
        {"s35", TFieldType::ftString, 35}, {"s255", TFieldType::ftString, 255},
        {"m", TFieldType::ftMemo, 0},      {"fm", TFieldType::ftFmtMemo, 0},
        {"bl", TFieldType::ftBlob, 0},     {"g", TFieldType::ftGraphic, 0},
    };
    TVolgaCursor c;
    Load(c, TVolgaCursor::BuildEmptyImage(defs));
    ASSERT_EQ(c.FieldCount(), 18);
    EXPECT_EQ(c.FieldByName("w")->DataType, TVolgaFieldType::SmallInt);
    EXPECT_EQ(c.FieldByName("s35")->DataType, TVolgaFieldType::SmallStr);
    EXPECT_EQ(c.FieldByName("s255")->DataType, TVolgaFieldType::String);
    EXPECT_EQ(c.FieldByName("s255")->Size, 255);

    TVolgaRecordData d = c.NewBuffer();
    c.FieldByName("si")->SetInt(d, -12345);
    c.FieldByName("w")->SetInt(d, 65535);  // stored as SmallInt: reads back as -1
    c.FieldByName("i")->SetInt(d, -2000000000);
    c.FieldByName("li")->SetInt(d, 1234567890123456789LL);
    c.FieldByName("b")->SetBool(d, true);
    c.FieldByName("f")->SetFloat(d, 3.25);
    c.FieldByName("c")->SetFloat(d, -0.5);
    c.FieldByName("d")->SetInt(d, 693594 + 45000);
    c.FieldByName("t")->SetInt(d, 86399999);
    c.FieldByName("dt")->SetFloat(d, 739000.0 * 86400000 + 1234);
    c.FieldByName("s0")->SetText(d, "xyz");  // cut to one character
    c.FieldByName("s35")->SetText(d, std::string(40, 'q'));
    c.FieldByName("s255")->SetText(d, "Grüße, 日本");
    c.FieldByName("m")->SetText(d, std::string(10000, 'm'));
    c.FieldByName("fm")->SetText(d, "{\\rtf}");
    c.FieldByName("bl")->SetText(d, std::string("\0\1\2\3", 4));
    c.FieldByName("g")->SetText(d, "PNG");
    std::string msg;
    c.PostRecord(d, nullptr, msg);
    c.PostRecord(c.NewBuffer(), nullptr, msg);

    std::string image;
    c.BuildImage(image);
    TVolgaCursor r;
    Load(r, image);
    ASSERT_EQ(r.RecordCount(), 2);
    const TVolgaRecordData& x = r.Record(0)->Data;
    EXPECT_EQ(r.FieldByName("si")->GetInt(x), -12345);
    EXPECT_EQ(r.FieldByName("w")->GetInt(x), -1);
    EXPECT_EQ(r.FieldByName("i")->GetInt(x), -2000000000);
    EXPECT_EQ(r.FieldByName("li")->GetInt(x), 1234567890123456789LL);
    EXPECT_TRUE(r.FieldByName("b")->GetBool(x));
    EXPECT_EQ(r.FieldByName("f")->GetFloat(x), 3.25);
    EXPECT_EQ(r.FieldByName("c")->GetFloat(x), -0.5);
    EXPECT_EQ(r.FieldByName("d")->GetInt(x), 693594 + 45000);
    EXPECT_EQ(r.FieldByName("t")->GetInt(x), 86399999);
    EXPECT_EQ(r.FieldByName("dt")->GetFloat(x), 739000.0 * 86400000 + 1234);
    EXPECT_EQ(r.FieldByName("ai")->GetInt(x), 1);
    EXPECT_EQ(r.FieldByName("ai")->GetInt(r.Record(1)->Data), 2);
    EXPECT_EQ(r.FieldByName("s0")->GetText(x), "x");
    EXPECT_EQ(r.FieldByName("s35")->GetText(x), std::string(35, 'q'));
    EXPECT_EQ(r.FieldByName("s255")->GetText(x), "Grüße, 日本");
    EXPECT_EQ(r.FieldByName("m")->GetText(x), std::string(10000, 'm'));
    EXPECT_EQ(r.FieldByName("fm")->GetText(x), "{\\rtf}");
    EXPECT_EQ(r.FieldByName("bl")->GetText(x), std::string("\0\1\2\3", 4));
    EXPECT_EQ(r.FieldByName("g")->GetText(x), "PNG");
    for (int i = 0; i < r.FieldCount(); ++i) {
        if (r.Field(i)->DataType == TVolgaFieldType::AutoInc) continue;
        EXPECT_TRUE(r.Field(i)->IsZero(r.Record(1)->Data)) << r.Field(i)->Name;
    }
    // Saving the reloaded table gives the same bytes.
    std::string again;
    r.BuildImage(again);
    EXPECT_EQ(again, image);
}

TEST(TableFormat, CutNeverSplitsACharacter) {
    TVolgaCursor c;
    Load(c, TVolgaCursor::BuildEmptyImage({{"s", TFieldType::ftString, 5}}));
    TVolgaRecordData d = c.NewBuffer();
    c.FieldByName("s")->SetText(d, "abcdé");  // é is two bytes: only "abcd" fits
    EXPECT_EQ(c.FieldByName("s")->GetText(d), "abcd");
}

TEST(TableFormat, DescriptionAttributesAndAliases) {
    std::string section = "T.A i~7~x\x12" "B s~~only extra\x12" "Z.C s40~~\x12" "D 9~tail\x12\x14";
    std::string image;
    auto put32 = [&](uint32_t v) { image.append(reinterpret_cast<const char*>(&v), 4); };
    put32(0);
    image += 'S';
    put32(0);
    put32(4);
    put32(static_cast<uint32_t>(section.size()));
    image += section;
    TVolgaCursor c;
    Load(c, image);
    EXPECT_EQ(c.Field(0)->Alias, "T");
    EXPECT_EQ(c.Field(0)->DefaultValue, "7");
    EXPECT_EQ(c.Field(0)->Extra, "x");
    EXPECT_EQ(c.Field(1)->Alias, "XXX");
    EXPECT_EQ(c.Field(1)->Size, 100);
    EXPECT_EQ(c.Field(1)->Extra, "only extra");
    EXPECT_EQ(c.Field(2)->Size, 40);
    EXPECT_EQ(c.Field(3)->DataType, TVolgaFieldType::SmallStr);
    EXPECT_EQ(c.Field(3)->Size, 9);
    EXPECT_EQ(c.Field(3)->DefaultValue, "");
    EXPECT_EQ(c.Field(3)->Extra, "tail");
    // Written back: the attribute part always with both tildes.
    std::string out;
    c.BuildImage(out);
    EXPECT_NE(out.find("XXX.D 9~~tail\x12"), std::string::npos);
    EXPECT_NE(out.find("Z.C s40\x12"), std::string::npos);
}

TEST(TableFormat, NotesBlock) {
    TVolgaCursor c;
    Load(c, TVolgaCursor::BuildEmptyImage({{"A", TFieldType::ftInteger, 0}}));
    c.Notes = "hello";
    std::string msg;
    TVolgaRecordData d = c.NewBuffer();
    c.FieldByName("A")->SetInt(d, 42);
    c.PostRecord(d, nullptr, msg);
    std::string image;
    c.BuildImage(image);
    TVolgaCursor r;
    Load(r, image);
    EXPECT_EQ(r.Notes, "hello");
    EXPECT_EQ(r.FieldByName("A")->GetInt(r.Record(0)->Data), 42);
}

TEST(TableFormat, LoadErrors) {
    std::string good = FolderExample();
    EXPECT_EQ(LoadError(good), "(loaded)");
    EXPECT_EQ(LoadError(""), "Buffer structure corruption!");
    EXPECT_EQ(LoadError(good.substr(0, 4)), "Buffer structure corruption!");
    std::string kind = good;
    kind[4] = 'X';
    EXPECT_EQ(LoadError(kind), "Buffer structure corruption!");
    EXPECT_EQ(LoadError(Bytes({9, 0, 0, 0}) + "EDisk on fire"), "Disk on fire");

    std::string longSection = good;
    uint32_t big = 100000;
    std::memcpy(longSection.data() + 13, &big, 4);
    EXPECT_EQ(LoadError(longSection), "Buffer structure corruption!");

    std::string noTerminator = good;
    noTerminator[31] = ' ';  // the 0x12 after the first entry
    EXPECT_EQ(LoadError(noTerminator), "Error in buffer structure (field description section)");
    std::string tooManyFields = good;
    tooManyFields[9] = 3;
    EXPECT_EQ(LoadError(tooManyFields), "Error in buffer structure (field description section)");

    EXPECT_EQ(LoadError(good.substr(0, 54)), "Unexpected end of buffer");
    std::string wrongBool = good;
    wrongBool[49] = 3;
    EXPECT_EQ(LoadError(wrongBool), "Field 'Expanded' has wrong length 3 in record 1");
    std::string wrongText = good;
    wrongText[48] = 12;  // more than FolderID's 11 buffer bytes
    EXPECT_EQ(LoadError(wrongText), "Field 'FolderID' has wrong length 12 in record 1");
    std::string moreDeclared = good;
    moreDeclared[5] = 2;
    EXPECT_EQ(LoadError(moreDeclared),
              "Number of records read (1) does not match declared record count (2)");
    std::string fewerDeclared = good;
    fewerDeclared[5] = 0;
    // Data beyond the declared count is not read.
    EXPECT_EQ(LoadError(fewerDeclared), "(loaded)");
}

TEST(TableFormat, StringAndBlobLengthErrors) {
    TVolgaCursor c;
    Load(c, TVolgaCursor::BuildEmptyImage(
                {{"S", TFieldType::ftString, 9000}, {"M", TFieldType::ftMemo, 0}}));
    std::string msg;
    TVolgaRecordData d = c.NewBuffer();
    c.FieldByName("S")->SetText(d, "fine");
    c.PostRecord(d, nullptr, msg);
    d = c.NewBuffer();
    c.FieldByName("S")->SetText(d, std::string(8192, 'x'));
    c.PostRecord(d, nullptr, msg);
    std::string image;
    c.BuildImage(image);
    // A String of 8192 bytes is written but cannot be read back.
    EXPECT_EQ(LoadError(image), "String field 'S' has wrong length 8192 in record 2");
    // Partial open keeps the first record and still reports the reason.
    TVolgaCursor p;
    p.PartialOpen = true;
    EXPECT_TRUE(p.LoadFromImage(image, msg));
    EXPECT_EQ(msg, "String field 'S' has wrong length 8192 in record 2");
    EXPECT_EQ(p.RecordCount(), 1);

    TVolgaCursor b;
    Load(b, TVolgaCursor::BuildEmptyImage({{"M", TFieldType::ftMemo, 0}}));
    d = b.NewBuffer();
    b.FieldByName("M")->SetText(d, "x");
    b.PostRecord(d, nullptr, msg);
    std::string bi;
    b.BuildImage(bi);
    int32_t huge = 1073741824;
    std::memcpy(bi.data() + bi.size() - 5, &huge, 4);
    EXPECT_EQ(LoadError(bi), "BLOB field 'M' has wrong length 1073741824 in record 1");
    bi.resize(bi.size() - 1);
    huge = 1000;
    std::memcpy(bi.data() + bi.size() - 4, &huge, 4);
    EXPECT_EQ(LoadError(bi), "Unexpected end of buffer");
}

TEST(TableFormat, FailedLoadLeavesCursorEmpty) {
    TVolgaCursor c;
    std::string msg;
    EXPECT_FALSE(c.LoadFromImage("garbage", msg));
    EXPECT_EQ(c.FieldCount(), 0);
    EXPECT_EQ(c.RecordCount(), 0);
}

TEST(TableFormat, AutoIncSortsRecordsAndContinuesNumbering) {
    TVolgaCursor c;
    Load(c, TVolgaCursor::BuildEmptyImage(
                {{"Id", TFieldType::ftAutoInc, 0}, {"N", TFieldType::ftInteger, 0}}));
    std::string msg;
    for (int i = 0; i < 3; ++i) {
        TVolgaRecordData d = c.NewBuffer();
        c.FieldByName("N")->SetInt(d, 10 + i);
        c.PostRecord(d, nullptr, msg);
    }
    // Put the physical order backwards: loading sorts by the AutoInc field again.
    std::vector<TVolgaRecord*> recs;
    c.SortRecords("N", false);
    std::string image;
    c.BuildImage(image);
    TVolgaCursor r;
    Load(r, image);
    ASSERT_EQ(r.RecordCount(), 3);
    EXPECT_EQ(r.LastAutoInc(), 3);
    TVolgaRecordData d = r.NewBuffer();
    TVolgaRecord* added = r.PostRecord(d, nullptr, msg);
    EXPECT_EQ(r.FieldByName("Id")->GetInt(added->Data), 4);
}

TEST(Sapphire, CipherRoundTripAndCrcCheckValue) {
    const uint8_t digits[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
    EXPECT_EQ(VolgaCrc16(digits, 9), 0x4B37);

    for (std::string key : {std::string(), std::string("k"), std::string("a longer pass phrase")}) {
        std::string plain = "The quick brown fox jumps over the lazy dog";
        std::string data = plain;
        TSapphire(key).Encipher(reinterpret_cast<uint8_t*>(data.data()), data.size());
        EXPECT_NE(data, plain);
        TSapphire(key).Decipher(reinterpret_cast<uint8_t*>(data.data()), data.size());
        EXPECT_EQ(data, plain);
    }
    // Different keys give different streams.
    std::string a(16, '\0'), b(16, '\0');
    TSapphire("one").Encipher(reinterpret_cast<uint8_t*>(a.data()), a.size());
    TSapphire("two").Encipher(reinterpret_cast<uint8_t*>(b.data()), b.size());
    EXPECT_NE(a, b);
}

TEST(TableFormat, PasswordProtectedTables) {
    TVolgaSession::Instance().ClearPasswords();
    TVolgaCursor c;
    Load(c, TVolgaCursor::BuildEmptyImage({{"Name", TFieldType::ftString, 20}}));
    std::string msg;
    TVolgaRecordData d = c.NewBuffer();
    c.FieldByName("Name")->SetText(d, "secret value");
    c.PostRecord(d, nullptr, msg);
    c.Notes = "notes";
    c.Password = "pa55";
    std::string first, second;
    c.BuildImage(first);
    c.BuildImage(second);
    ASSERT_EQ(first[4], 'P');
    EXPECT_EQ(first.size(), second.size());
    EXPECT_NE(first.substr(5), second.substr(5));  // a new data key for every save
    EXPECT_EQ(first.find("secret"), std::string::npos);

    // The block: 38 enciphered characters of a GUID text, then its CRC.
    uint8_t block[40];
    std::memcpy(block, first.data() + 5, 40);
    TSapphire("pa55").Decipher(block, 38);
    EXPECT_EQ(block[0], '{');
    EXPECT_EQ(block[37], '}');
    EXPECT_EQ(VolgaCrc16(block, 40), 0);

    TVolgaSession::Instance().ClearPasswords();
    EXPECT_EQ(LoadError(first), "Invalid password. Table cannot be open");

    TVolgaCursor withPassword;
    withPassword.Password = "pa55";
    Load(withPassword, first);
    EXPECT_EQ(withPassword.FieldByName("Name")->GetText(withPassword.Record(0)->Data),
              "secret value");
    EXPECT_EQ(withPassword.Notes, "notes");

    // The accepted password is remembered for the process.
    TVolgaCursor remembered;
    Load(remembered, second);
    EXPECT_EQ(remembered.Password, "pa55");

    // A prompt is asked up to three times.
    TVolgaSession::Instance().ClearPasswords();
    int asked = 0;
    TVolgaCursor prompted;
    prompted.OnPasswordPrompt = [&](std::string& pw, int attempt) {
        ++asked;
        pw = attempt == 3 ? "pa55" : "wrong";
        return true;
    };
    Load(prompted, first);
    EXPECT_EQ(asked, 3);
    TVolgaSession::Instance().ClearPasswords();
    TVolgaCursor cancelled;
    cancelled.OnPasswordPrompt = [&](std::string&, int) { return false; };
    EXPECT_FALSE(cancelled.LoadFromImage(first, msg));
    EXPECT_EQ(msg, "Invalid password. Table cannot be open");
}
