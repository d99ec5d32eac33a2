// Process-wide list of the passwords set on a table or accepted at a prompt.
#pragma once

#include <mutex>
#include <set>
#include <string>
#include <vector>

class TVolgaSession {
public:
    static TVolgaSession& Instance();
    void AddPassword(const std::string& password);
    std::vector<std::string> Passwords() const;  // sorted, no duplicates
    void ClearPasswords();

private:
    mutable std::mutex mutex_;
    std::set<std::string> passwords_;
};
