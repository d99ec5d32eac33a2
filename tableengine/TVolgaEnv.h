// The engine's access to the file system, behind one small interface so that tests can inject
// failures (disk full, unreadable files).
#pragma once

#include <string>
#include <string_view>

class TVolgaEnv {
public:
    virtual ~TVolgaEnv() = default;
    // Reads a whole file. False with `error` set on failure.
    virtual bool ReadFile(const std::string& path, std::string& out, std::string& error);
    // Writes `data` to a temporary file in the same folder, flushes it and renames it over
    // `path`. A file that replaces another keeps its permission bits; a new one is readable
    // and writable by its owner only. False with `error` set (the old file is untouched) on
    // failure.
    virtual bool WriteFileAtomic(const std::string& path, std::string_view data,
                                 std::string& error);
    // Copies a file, replacing the target atomically.
    virtual bool CopyFile(const std::string& from, const std::string& to, std::string& error);
    virtual bool FileExists(const std::string& path);

    static TVolgaEnv* Default();
};
