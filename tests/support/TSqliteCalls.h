// The same generated calls in an in-memory SQLite table "calls" with the Calls table's columns
// (dates and times as ISO texts, which order as the table engine's day and millisecond numbers),
// for tests that check the query engine's results against SQLite's.
#pragma once

#include <sqlite3.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "CallsTableGenerator.h"

class TSqliteCalls {
public:
    TSqliteCalls() { sqlite3_open(":memory:", &db_); }
    ~TSqliteCalls() { sqlite3_close(db_); }
    void Exec(const std::string& sql) {
        char* err = nullptr;
        if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
            std::string e = err ? err : "?";
            sqlite3_free(err);
            throw std::runtime_error(e + " in " + sql);
        }
    }
    // The first column of every row.
    std::vector<std::string> Column0(const std::string& sql) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr) != SQLITE_OK)
            throw std::runtime_error(std::string(sqlite3_errmsg(db_)) + " in " + sql);
        std::vector<std::string> out;
        while (sqlite3_step(st) == SQLITE_ROW) {
            const unsigned char* t = sqlite3_column_text(st, 0);
            out.emplace_back(t ? reinterpret_cast<const char*>(t) : "");
        }
        sqlite3_finalize(st);
        return out;
    }
    void Insert(const std::vector<callsgen::CallRow>& rows) {
        Exec(
            "CREATE TABLE calls (callID TEXT, Channel INTEGER, FolderId TEXT, Date TEXT, "
            "startTime TEXT, stopTime TEXT, inOut INTEGER, dtmf TEXT, callerID TEXT, Memo TEXT, "
            "mediumLabel TEXT, mediumType INTEGER, fileName TEXT, fileSize INTEGER, bool1 INTEGER, "
            "bool2 INTEGER, bool3 INTEGER, bool4 INTEGER, st1 TEXT, st2 TEXT, st3 TEXT, st4 TEXT, "
            "real1 REAL, real2 REAL, real3 REAL, real4 REAL)");
        Exec("BEGIN");
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db_,
                           "INSERT INTO calls VALUES (?,?,?,?,?,?,?,?,?,?,'Main storage medium',0,"
                           "?,?,0,0,0,0,' ',' ',' ',' ',0,0,0,0)",
                           -1, &st, nullptr);
        for (const callsgen::CallRow& r : rows) {
            int k = 1;
            auto text = [&](const std::string& s) {
                sqlite3_bind_text(st, k++, s.c_str(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
            };
            text(r.CallId);
            sqlite3_bind_int(st, k++, r.Channel);
            text(r.FolderId);
            text(callsgen::DateText(r));
            text(callsgen::TimeText(r.StartMs));
            text(callsgen::TimeText(r.StopMs));
            sqlite3_bind_int(st, k++, r.InOut);
            text(r.Dtmf);
            text(r.CallerId);
            text(r.Memo);
            text(r.FileName);
            sqlite3_bind_int(st, k++, r.FileSize);
            sqlite3_step(st);
            sqlite3_reset(st);
        }
        sqlite3_finalize(st);
        Exec("COMMIT");
    }

    sqlite3* Handle() const { return db_; }

private:
    sqlite3* db_ = nullptr;
};
