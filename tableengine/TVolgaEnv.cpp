#include "TVolgaEnv.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace {

std::string DirOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

bool WriteAll(int fd, const char* p, size_t n) {
    while (n > 0) {
        ssize_t w = ::write(fd, p, n);
        if (w < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += w;
        n -= static_cast<size_t>(w);
    }
    return true;
}

}  // namespace

bool TVolgaEnv::ReadFile(const std::string& path, std::string& out, std::string& error) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    struct stat st;
    out.clear();
    if (::fstat(fd, &st) == 0 && st.st_size > 0) out.reserve(static_cast<size_t>(st.st_size));
    char buf[1 << 16];
    for (;;) {
        ssize_t r = ::read(fd, buf, sizeof buf);
        if (r < 0) {
            if (errno == EINTR) continue;
            error = std::strerror(errno);
            ::close(fd);
            return false;
        }
        if (r == 0) break;
        out.append(buf, static_cast<size_t>(r));
    }
    ::close(fd);
    return true;
}

bool TVolgaEnv::WriteFileAtomic(const std::string& path, std::string_view data,
                                std::string& error) {
    std::string tmpl = path + ".tmpXXXXXX";
    int fd = ::mkostemp(tmpl.data(), O_CLOEXEC);
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    // The new file is created for its owner only (0600); one that replaces a file takes that
    // file's permissions, before anyone can see it under the name.
    struct stat old;
    bool ok = ::stat(path.c_str(), &old) != 0 || !S_ISREG(old.st_mode) ||
              ::fchmod(fd, old.st_mode & 07777) == 0;
    ok = ok && WriteAll(fd, data.data(), data.size()) && ::fsync(fd) == 0;
    int err = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (ok && ::rename(tmpl.c_str(), path.c_str()) != 0) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        ::unlink(tmpl.c_str());
        error = std::strerror(err);
        return false;
    }
    // Make the rename itself durable.
    int dfd = ::open(DirOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return true;
}

bool TVolgaEnv::CopyFile(const std::string& from, const std::string& to, std::string& error) {
    std::string data;
    if (!ReadFile(from, data, error)) return false;
    return WriteFileAtomic(to, data, error);
}

bool TVolgaEnv::FileExists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

TVolgaEnv* TVolgaEnv::Default() {
    static TVolgaEnv env;
    return &env;
}
