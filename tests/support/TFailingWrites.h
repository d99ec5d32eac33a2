// A file environment for the table engine whose whole-file writes fail while `Fail` is set (a
// full disk, a folder gone read-only); reads and the other calls go to the default one. `Fail`
// may be set from any thread.
#pragma once

#include <atomic>
#include <string>
#include <string_view>

#include "TVolgaEnv.h"

class TFailingWrites : public TVolgaEnv {
public:
    std::atomic<bool> Fail{false};
    bool WriteFileAtomic(const std::string& path, std::string_view data,
                         std::string& error) override {
        if (Fail) {
            error = "No space left on device";
            return false;
        }
        return TVolgaEnv::Default()->WriteFileAtomic(path, data, error);
    }
};
