#include "TVolgaSession.h"

TVolgaSession& TVolgaSession::Instance() {
    static TVolgaSession session;
    return session;
}

void TVolgaSession::AddPassword(const std::string& password) {
    if (password.empty()) return;
    std::lock_guard<std::mutex> lock(mutex_);
    passwords_.insert(password);
}

std::vector<std::string> TVolgaSession::Passwords() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::vector<std::string>(passwords_.begin(), passwords_.end());
}

void TVolgaSession::ClearPasswords() {
    std::lock_guard<std::mutex> lock(mutex_);
    passwords_.clear();
}
