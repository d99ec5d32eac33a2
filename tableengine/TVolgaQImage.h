// The bytes of a table file while a query reads it: the file mapped into memory when it is read
// through the default environment, else a copy read through the environment (tests inject
// their own).
#pragma once

#include <string>
#include <string_view>

class TVolgaEnv;

class TVolgaQImage {
public:
    TVolgaQImage() = default;
    ~TVolgaQImage() { Release(); }
    TVolgaQImage(TVolgaQImage&& o) noexcept;
    TVolgaQImage& operator=(TVolgaQImage&& o) noexcept;
    TVolgaQImage(const TVolgaQImage&) = delete;
    TVolgaQImage& operator=(const TVolgaQImage&) = delete;

    // False with `error` set when the file cannot be read.
    bool Load(TVolgaEnv* env, const std::string& path, std::string& error);
    std::string_view View() const;
    void Release();

private:
    void* map_ = nullptr;
    size_t size_ = 0;
    std::string copy_;
};
