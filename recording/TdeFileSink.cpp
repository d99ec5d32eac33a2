#include "TdeFileSink.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "AudioTexts.h"
#include "EAudioError.h"

TdeFileSink::TdeFileSink(const std::filesystem::path& path) {
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, S_IRUSR | S_IWUSR);
    // A replaced file keeps its mode with O_TRUNC: recordings are private all the same. (Only
    // regular files: a device such as /dev/null is left as it is.)
    struct stat st {};
    if (fd_ < 0 || ::fstat(fd_, &st) != 0 ||
        (S_ISREG(st.st_mode) && ::fchmod(fd_, S_IRUSR | S_IWUSR) != 0)) {
        const int err = errno;
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
        throw EAudioError(std::string(AudioTexts::kCreateFile) + path.string() + ": " +
                          std::strerror(err));
    }
}

TdeFileSink::~TdeFileSink() {
    Close();
}

bool TdeFileSink::Fail() {
    error_ = std::strerror(errno);
    return false;
}

bool TdeFileSink::WriteAt(uint64_t offset, std::span<const uint8_t> bytes) {
    if (fd_ < 0) {
        errno = EBADF;
        return Fail();
    }
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::pwrite(fd_, bytes.data() + done, bytes.size() - done, off_t(offset + done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return Fail();
        }
        if (n == 0) {
            errno = ENOSPC;
            return Fail();
        }
        done += size_t(n);
    }
    return true;
}

bool TdeFileSink::Truncate(uint64_t size) {
    if (fd_ < 0) {
        errno = EBADF;
        return Fail();
    }
    return ::ftruncate(fd_, off_t(size)) == 0 || Fail();
}

bool TdeFileSink::Flush() {
    if (fd_ < 0) {
        errno = EBADF;
        return Fail();
    }
    return ::fdatasync(fd_) == 0 || Fail();
}

bool TdeFileSink::Close() {
    if (fd_ < 0) return true;
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0 || Fail();
}
