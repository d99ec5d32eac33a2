// A table driven by random operations next to a plain model of what it must hold.
//
// The model keeps three row lists: `current` (what the dataset shows), `baseline` (the state
// CancelChanges returns to: the table as loaded, or as of the last CommitChanges) and `disk`
// (the last image written). Saving writes `current` only while ChangeCount is above zero, and
// neither saving nor closing and reopening resets ChangeCount; reopening loads `disk`, which
// becomes the new baseline. The AutoInc counter goes on from the highest value given out in
// this session (a cancel does not give numbers back) until a reload restarts it from the last
// record of the file.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "TVolgaCursor.h"
#include "TVolgaDatabase.h"
#include "TVolgaEnv.h"
#include "TVolgaTable.h"

namespace {

struct Row {
    int64_t Id = 0;
    std::string Name;  // SmallStr
    std::string Note;  // String
    int64_t Qty = 0;
    double Price = 0;
    bool Flag = false;
    int64_t Day = 0;  // day number, 0 = empty
    bool operator==(const Row&) const = default;
};

std::string Describe(const Row& r) {
    return std::to_string(r.Id) + " '" + r.Name + "' '" + r.Note + "' " + std::to_string(r.Qty) +
           " " + std::to_string(r.Price) + " " + (r.Flag ? "T" : "F") + " " + std::to_string(r.Day);
}

Row RowOf(const TVolgaCursor& c, const TVolgaRecordData& d) {
    Row r;
    r.Id = c.Field(0)->GetInt(d);
    r.Name = c.Field(1)->GetText(d);
    r.Note = c.Field(2)->GetText(d);
    r.Qty = c.Field(3)->GetInt(d);
    r.Price = c.Field(4)->GetFloat(d);
    r.Flag = c.Field(5)->GetBool(d);
    r.Day = c.Field(6)->GetInt(d);
    return r;
}

class Model {
public:
    std::vector<Row> current, baseline, disk;
    int64_t lastId = 0;
    bool dirty = false;  // ChangeCount > 0
};

class RandomOps {
public:
    explicit RandomOps(uint32_t seed) : rng_(seed) {}
    int Below(int n) { return static_cast<int>(rng_() % static_cast<unsigned>(n)); }
    std::string Text(int maxLen) {
        std::string s;
        int n = Below(maxLen + 1);
        for (int i = 0; i < n; ++i) s += static_cast<char>('a' + Below(26));
        return s;
    }
    // Writes random values into the dataset's edit buffer and the model row alike.
    void Fill(TVolgaTable& t, Row& r) {
        switch (Below(3)) {  // all fields, or the last five, or the last three
            case 0:
                r.Name = Text(20);
                t.FieldByName("Name").SetAsString(r.Name);
                [[fallthrough]];
            case 1:
                r.Note = Below(3) ? Text(100) : "";
                t.FieldByName("Note").SetAsString(r.Note);
                r.Qty = Below(2001) - 1000;
                t.FieldByName("Qty").SetAsInteger(r.Qty);
                [[fallthrough]];
            default:
                r.Price = Below(40000) / 4.0;
                t.FieldByName("Price").SetAsFloat(r.Price);
                r.Flag = Below(2);
                t.FieldByName("Flag").SetAsBoolean(r.Flag);
                if (Below(4) == 0) {
                    r.Day = 0;
                    t.FieldByName("Day").Clear();
                } else {
                    int y = 1990 + Below(50), m = 1 + Below(12), d = 1 + Below(28);
                    char text[40];
                    std::snprintf(text, sizeof text, "%04d-%02d-%02d", y, m, d);
                    t.FieldByName("Day").SetAsString(text);
                    TDateTime v = 0;
                    TVolgaFormatSettings::EncodeDate(y, m, d, v);
                    r.Day = TVolgaFormatSettings::DateToDayNumber(v);
                }
        }
    }

private:
    std::mt19937 rng_;
};

class ModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/pelm_model_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string dir_;
};

void ExpectRows(const std::vector<Row>& actual, const std::vector<Row>& expected,
                const std::string& what) {
    ASSERT_EQ(actual.size(), expected.size()) << what;
    for (size_t i = 0; i < actual.size(); ++i)
        ASSERT_EQ(actual[i], expected[i]) << what << ", row " << i << ": " << Describe(actual[i])
                                          << " expected " << Describe(expected[i]);
}

std::vector<Row> Shown(TVolgaTable& t) {
    std::vector<Row> rows;
    for (int i = 0; i < t.RecordCount(); ++i)
        rows.push_back(RowOf(*t.Cursor(), t.VisibleRecord(i)->Data));
    return rows;
}

std::vector<Row> OnDisk(const std::string& path) {
    std::string image, error, message;
    EXPECT_TRUE(TVolgaEnv::Default()->ReadFile(path, image, error)) << error;
    TVolgaCursor c;
    EXPECT_TRUE(c.LoadFromImage(image, message)) << message;
    std::vector<Row> rows;
    for (const auto& r : c.Records()) rows.push_back(RowOf(c, r->Data));
    return rows;
}

void RunModel(const std::string& path, uint32_t seed, int ops) {
    TVolgaDatabase db;
    TVolgaTable t(&db);
    t.SetTableName(path);
    t.FieldDefs = {{"Id", TFieldType::ftAutoInc, 0},    {"Name", TFieldType::ftString, 20},
                   {"Note", TFieldType::ftString, 100}, {"Qty", TFieldType::ftInteger, 0},
                   {"Price", TFieldType::ftFloat, 0},   {"Flag", TFieldType::ftBoolean, 0},
                   {"Day", TFieldType::ftDate, 0}};
    t.CreateTable();
    Model m;
    RandomOps rnd(seed);
    auto pick = [&] { return rnd.Below(static_cast<int>(m.current.size())); };

    for (int op = 0; op < ops; ++op) {
        const std::string where = "seed " + std::to_string(seed) + ", op " + std::to_string(op);
        const int kind = rnd.Below(100);
        std::string name;
        if (kind < 30) {
            name = "append";
            Row r;
            t.Append();
            rnd.Fill(t, r);
            t.Post();
            r.Id = ++m.lastId;
            m.current.push_back(r);
            m.dirty = true;
        } else if (kind < 35) {
            name = "append+cancel";
            Row r;
            t.Append();
            rnd.Fill(t, r);
            t.Cancel();
        } else if (kind < 55 && !m.current.empty()) {
            name = "edit";
            int i = pick();
            t.SetRecNo(i + 1);
            t.Edit();
            rnd.Fill(t, m.current[static_cast<size_t>(i)]);
            t.Post();
            m.dirty = true;
        } else if (kind < 60 && !m.current.empty()) {
            name = "edit+cancel";
            Row scratch;
            t.SetRecNo(pick() + 1);
            t.Edit();
            rnd.Fill(t, scratch);
            t.Cancel();
        } else if (kind < 72 && !m.current.empty()) {
            name = "delete";
            int i = pick();
            t.SetRecNo(i + 1);
            t.Delete();
            m.current.erase(m.current.begin() + i);
            m.dirty = true;
        } else if (kind < 84) {
            name = "save";
            t.SaveChanges();
            if (m.dirty) m.disk = m.current;
            ExpectRows(OnDisk(path), m.disk, where + " file after save");
        } else if (kind < 90) {
            name = "reload";
            t.Close();
            t.Open();
            m.current = m.baseline = m.disk;
            m.lastId = m.disk.empty() ? 0 : m.disk.back().Id;
        } else if (kind < 96) {
            name = "cancel changes";
            t.CancelChanges();
            if (m.dirty) m.current = m.baseline;
            m.dirty = false;
        } else if (kind < 99) {
            name = "commit changes";
            t.CommitChanges();
            if (m.dirty) m.baseline = m.current;
            m.dirty = false;
        } else {
            // The records are released: there is nothing left for a cancel to bring back.
            name = "empty table";
            t.EmptyTable();
            m.current.clear();
            m.baseline.clear();
        }
        ExpectRows(Shown(t), m.current, where + " (" + name + ")");
        ASSERT_EQ(t.ChangeCount() > 0, m.dirty) << where << " (" << name << ")";
        if (::testing::Test::HasFatalFailure()) return;
    }
    t.SaveChanges();
    if (m.dirty) m.disk = m.current;
    ExpectRows(OnDisk(path), m.disk, "seed " + std::to_string(seed) + " final file");
}

}  // namespace

TEST_F(ModelTest, RandomOperationsMatchTheModel) {
    for (uint32_t seed = 1; seed <= 6; ++seed) {
        const std::string path = dir_ + "/Model" + std::to_string(seed) + ".d";
        RunModel(path, seed, 700);
        if (HasFatalFailure()) return;
    }
}
