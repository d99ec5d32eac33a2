// The event log's lines, overflow and saving.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <thread>

#include "SystemFormat.h"
#include "TClock.h"
#include "TEventLog.h"
#include "TTestClock.h"

namespace {

QStringList FileLines(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    QString text = QString::fromUtf8(f.readAll());
    EXPECT_TRUE(text.isEmpty() || text.endsWith("\r\n"));
    text.chop(2);
    return text.isEmpty() ? QStringList() : text.split("\r\n");
}

class EventLogTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetSystemFormat(TVolgaFormatSettings::Iso());
        TClock::Install(&clock);
        path = dir.path() + "/Pelmorant.log";
    }
    void TearDown() override { TClock::Install(nullptr); }
    TTestClock clock{QDateTime(QDate(2026, 12, 9), QTime(8, 5, 3))};
    QTemporaryDir dir;
    QString path;
};

}  // namespace

TEST_F(EventLogTest, LineFormats) {
    TEventLog log;
    log.LogChannel(12, "Demo start recording");
    log.LogGeneral("New session...");
    clock.now = QDateTime(QDate(2026, 12, 10), QTime(0, 0));
    log.LogGeneral("midnight");
    EXPECT_EQ(log.Lines(), QStringList({"2026-12-09 08:05:03  <#12> (Demo start recording)",
                                        "2026-12-09 08:05:03  (New session...)",
                                        "2026-12-10  (midnight)"}));
}

TEST_F(EventLogTest, OverflowAtTenThousandLines) {
    {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        for (int i = 0; i < 9999; ++i) f.write("old line " + QByteArray::number(i) + "\r\n");
    }
    TEventLog log;
    log.Load(path);
    EXPECT_EQ(log.LineCount(), 9999);
    log.LogGeneral("New session...");
    EXPECT_EQ(log.LineCount(), 0);  // written and emptied
    QStringList lines = FileLines(path);
    ASSERT_EQ(lines.size(), 10000);
    EXPECT_EQ(lines.front(), "old line 0");
    EXPECT_TRUE(lines.back().endsWith("  (New session...)"));
}

TEST_F(EventLogTest, TwoRunsAppendAndClearBeforeClose) {
    for (int run = 0; run < 2; ++run) {
        TEventLog log;
        log.Load(path);
        log.LogGeneral("New session...");
        log.LogChannel(0, "Idle");
        log.LogGeneral("Closing program...");
        ASSERT_TRUE(log.Save());
    }
    QStringList lines = FileLines(path);
    ASSERT_EQ(lines.size(), 6);
    EXPECT_TRUE(lines[0].endsWith("(New session...)"));
    EXPECT_TRUE(lines[2].endsWith("(Closing program...)"));
    EXPECT_TRUE(lines[3].endsWith("(New session...)"));
    EXPECT_TRUE(lines[5].endsWith("(Closing program...)"));

    TEventLog log;
    log.Load(path);
    log.LogGeneral("New session...");
    log.Clear();
    log.LogGeneral("after clear");
    log.LogGeneral("Closing program...");
    log.Save();
    lines = FileLines(path);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].endsWith("(after clear)"));
}

TEST_F(EventLogTest, FailedOverflowSaveKeepsTheLines) {
    TEventLog log;
    log.Load(dir.path() + "/no-such-folder/Pelmorant.log");
    for (int i = 0; i < TEventLog::kCapacity - 1; ++i) log.LogGeneral("x");
    EXPECT_THROW(log.LogGeneral("one too many"), std::runtime_error);
    EXPECT_EQ(log.LineCount(), TEventLog::kCapacity);
}

TEST_F(EventLogTest, AppendsFromThreadsNeverInterleave) {
    TEventLog log;
    log.Load(path);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&log, t] {
            for (int i = 0; i < 3000; ++i) log.LogChannel(t, "message " + QString::number(i));
        });
    for (auto& th : threads) th.join();
    log.Save();
    // 12000 lines: one overflow at 10000, 2000 left in the store.
    QStringList lines = FileLines(path);
    EXPECT_EQ(log.LineCount(), 2000);
    for (const QString& l : log.Lines()) EXPECT_TRUE(l.endsWith(')')) << l.toStdString();
}

TEST_F(EventLogTest, LinesReachTheFileAsTheyAreAppended) {
    {
        TEventLog log;
        log.Load(path);
        log.LogGeneral("New session...");
        log.LogChannel(1, "Demo start recording");
        // No save: the session ends as a killed one would.
    }
    QStringList lines = FileLines(path);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[1].endsWith("  <#1> (Demo start recording)"));

    // The next session reads them back and goes on after them; a Clear shows in the file at
    // the next whole write, not before.
    TEventLog log;
    log.Load(path);
    EXPECT_EQ(log.LineCount(), 2);
    log.Clear();
    log.LogGeneral("after clear");
    EXPECT_EQ(FileLines(path).size(), 3);
    ASSERT_TRUE(log.Save());
    lines = FileLines(path);
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].endsWith("(after clear)"));
}
