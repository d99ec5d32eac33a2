// A process killed while it saves a table never leaves a file that cannot be opened: a child
// saves the table in a loop, changing it before every save, and is killed with SIGKILL at random
// moments; after each kill the file must load and hold one of the states the child wrote, no
// older than the last save the child finished.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <thread>

#include "EVolgaError.h"
#include "TVolgaCursor.h"
#include "TVolgaDatabase.h"
#include "TVolgaEnv.h"
#include "TVolgaTable.h"

namespace {

constexpr int kBaseRecords = 2000;  // unchanged records that make every save take a while
constexpr int kKills = 100;

// State k of the table: the base records (N = -1 .. -kBaseRecords), then the appended records
// N = k/3 + 1 .. k. Going from state k-1 to k appends N = k and, when k is a multiple of three,
// deletes the oldest appended record.
std::string PayloadOf(int n) {
    std::string s = "record " + std::to_string(n) + " ";
    s.resize(static_cast<size_t>(40 + (n * 37 % 200 + 200) % 200),
             static_cast<char>('a' + (n & 15)));
    return s;
}

[[noreturn]] void RunSaver(const std::string& path, int fromState, int ackFd) {
    try {
        TVolgaDatabase db;
        TVolgaTable t(&db);
        t.SetTableName(path);
        t.Open();
        for (int k = fromState + 1;; ++k) {
            t.Append();
            t.FieldByName("N").SetAsInteger(k);
            t.FieldByName("Payload").SetAsString(PayloadOf(k));
            t.Post();
            if (k % 3 == 0) {
                t.SetRecNo(kBaseRecords + 1);
                if (t.FieldByName("N").AsInteger() != k / 3) _exit(4);
                t.Delete();
            }
            t.SaveChanges();
            if (write(ackFd, &k, sizeof k) != sizeof k) _exit(5);
        }
    } catch (const EVolgaError&) {
        _exit(3);
    }
}

// The state a loaded table is in, or -1 (with `why` set) when it is none of them.
int StateOf(const TVolgaCursor& c, std::string& why) {
    const TVolgaField* n = c.FieldByName("N");
    const TVolgaField* payload = c.FieldByName("Payload");
    if (!n || !payload) {
        why = "fields missing";
        return -1;
    }
    const int appended = c.RecordCount() - kBaseRecords;
    if (appended < 0) {
        why = "base records missing";
        return -1;
    }
    int k = 0;
    if (appended > 0) k = static_cast<int>(n->GetInt(c.Records().back()->Data));
    if (k - k / 3 != appended) {
        why = "record count " + std::to_string(c.RecordCount()) + " is no state (last N " +
              std::to_string(k) + ")";
        return -1;
    }
    for (int i = 0; i < c.RecordCount(); ++i) {
        const TVolgaRecordData& d = c.Records()[static_cast<size_t>(i)]->Data;
        const int expected = i < kBaseRecords ? -(i + 1) : k / 3 + 1 + (i - kBaseRecords);
        if (n->GetInt(d) != expected || payload->GetText(d) != PayloadOf(expected)) {
            why = "record " + std::to_string(i) + " differs from state " + std::to_string(k);
            return -1;
        }
    }
    return k;
}

}  // namespace

TEST(CrashSave, KilledSaverAlwaysLeavesALoadableTable) {
    char tmpl[] = "/tmp/pelm_crash_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    const std::string dir = tmpl;
    const std::string path = dir + "/Calls.d";
    {
        TVolgaDatabase db;
        TVolgaTable t(&db);
        t.SetTableName(path);
        t.FieldDefs = {{"N", TFieldType::ftInteger, 0}, {"Payload", TFieldType::ftString, 255}};
        t.CreateTable();
        for (int i = 1; i <= kBaseRecords; ++i) {
            t.Append();
            t.FieldByName("N").SetAsInteger(-i);
            t.FieldByName("Payload").SetAsString(PayloadOf(-i));
            t.Post();
        }
        t.SaveChanges();
    }

    std::mt19937 rng(20261209);
    int state = 0;
    int unacked = 0;  // kills that came after a save's rename and before its acknowledgement
    for (int kill = 0; kill < kKills; ++kill) {
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            close(fds[0]);
            RunSaver(path, state, fds[1]);
        }
        close(fds[1]);
        int acked = state, k = 0;
        // Every tenth round waits for one finished save first, so that the loop makes progress
        // however slow the machine (a sanitizer build, a loaded box) saves.
        if (kill % 10 == 0 && read(fds[0], &k, sizeof k) == sizeof k) acked = k;
        std::this_thread::sleep_for(std::chrono::microseconds(rng() % 30000));
        ASSERT_EQ(::kill(pid, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFSIGNALED(status))
            << "the saver stopped by itself, status " << WEXITSTATUS(status);
        while (read(fds[0], &k, sizeof k) == sizeof k) acked = k;
        close(fds[0]);

        std::string image, error, message;
        ASSERT_TRUE(TVolgaEnv::Default()->ReadFile(path, image, error)) << error;
        TVolgaCursor c;
        ASSERT_TRUE(c.LoadFromImage(image, message)) << "kill " << kill << ": " << message;
        std::string why;
        const int now = StateOf(c, why);
        ASSERT_GE(now, 0) << "kill " << kill << ": " << why;
        // A finished save is on disk; at most the one save after it can have landed too.
        ASSERT_GE(now, acked) << "kill " << kill << ": a finished save was lost";
        ASSERT_LE(now, acked + 1) << "kill " << kill;
        if (now == acked + 1) ++unacked;
        state = now;
    }
    // Saves cut short leave their temporary files behind (the table itself is never touched).
    int leftovers = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        if (e.path().filename() != "Calls.d") ++leftovers;
    std::printf("%d kills: %d saves, %d unacknowledged, %d temporary files left\n", kKills, state,
                unacked, leftovers);
    EXPECT_GT(state, 0) << "the saver never finished a save";
    std::filesystem::remove_all(dir);
}
