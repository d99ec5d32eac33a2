#include "TVolgaQImage.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

#include "TVolgaEnv.h"

TVolgaQImage::TVolgaQImage(TVolgaQImage&& o) noexcept
    : map_(std::exchange(o.map_, nullptr)), size_(std::exchange(o.size_, 0)), copy_(std::move(o.copy_)) {}

TVolgaQImage& TVolgaQImage::operator=(TVolgaQImage&& o) noexcept {
    if (this != &o) {
        Release();
        map_ = std::exchange(o.map_, nullptr);
        size_ = std::exchange(o.size_, 0);
        copy_ = std::move(o.copy_);
    }
    return *this;
}

void TVolgaQImage::Release() {
    if (map_) ::munmap(map_, size_);
    map_ = nullptr;
    size_ = 0;
    copy_.clear();
    copy_.shrink_to_fit();
}

bool TVolgaQImage::Load(TVolgaEnv* env, const std::string& path, std::string& error) {
    Release();
    if (env == TVolgaEnv::Default()) {
        // Table files are replaced by rename, never rewritten in place, so a mapping stays
        // valid; its pages are read in one call.
        int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd >= 0) {
            struct stat st;
            if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
                void* p = ::mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ,
                                 MAP_PRIVATE | MAP_POPULATE, fd, 0);
                if (p != MAP_FAILED) {
                    map_ = p;
                    size_ = static_cast<size_t>(st.st_size);
                }
            }
            ::close(fd);
            if (map_) return true;
        }
    }
    return env->ReadFile(path, copy_, error);
}

std::string_view TVolgaQImage::View() const {
    return map_ ? std::string_view(static_cast<const char*>(map_), size_) : std::string_view(copy_);
}
