// A folder on a file system that a test can fill up. Run as root (as CI does), it is a small
// tmpfs mounted in a mount namespace of the test process's own, so the mount goes away with
// the process whatever happens; elsewhere it is an ordinary temporary folder and "full" is
// the process's file-size limit (RLIMIT_FSIZE, with SIGXFSZ ignored), under which a write that
// grows a file fails as it would on a full disk. Only for single-threaded test processes.
#pragma once

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cerrno>
#include <csignal>

class TFullDisk {
public:
    TFullDisk() {
        static const bool privateMounts =
            ::geteuid() == 0 && ::unshare(CLONE_NEWNS) == 0 &&
            ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
        mounted_ = privateMounts && ::mount("tmpfs", QFile::encodeName(dir_.path()).constData(),
                                            "tmpfs", 0, "size=256k,mode=0700") == 0;
    }
    ~TFullDisk() {
        if (limited_) {
            ::setrlimit(RLIMIT_FSIZE, &oldLimit_);
            std::signal(SIGXFSZ, oldHandler_);
        }
        if (mounted_) ::umount2(QFile::encodeName(dir_.path()).constData(), MNT_DETACH);
    }
    TFullDisk(const TFullDisk&) = delete;
    TFullDisk& operator=(const TFullDisk&) = delete;

    QString Path() const { return dir_.path(); }
    // True on a real (tmpfs) file system, false under the file-size limit.
    bool RealFileSystem() const { return mounted_; }

    // From now on no file in Path() can grow. False when the space could not be used up.
    bool Fill() {
        if (mounted_) {
            const QByteArray name = QFile::encodeName(dir_.path() + "/filler");
            int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
            if (fd < 0) return false;
            static char block[4096];
            // Whole blocks, then single bytes until the last partial page is taken too.
            for (size_t chunk : {sizeof block, size_t{1}})
                while (::write(fd, block, chunk) == static_cast<ssize_t>(chunk)) {
                }
            const bool full = errno == ENOSPC;
            ::close(fd);
            return full;
        }
        if (::getrlimit(RLIMIT_FSIZE, &oldLimit_) != 0) return false;
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = oldLimit_;
        limit.rlim_cur = 1;
        limited_ = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
        return limited_;
    }

    // Room again, as after the user freed some space.
    void Free() {
        if (mounted_) ::unlink(QFile::encodeName(dir_.path() + "/filler").constData());
        if (limited_) {
            ::setrlimit(RLIMIT_FSIZE, &oldLimit_);
            std::signal(SIGXFSZ, oldHandler_);
            limited_ = false;
        }
    }

private:
    QTemporaryDir dir_;
    bool mounted_ = false;
    bool limited_ = false;
    rlimit oldLimit_{};
    void (*oldHandler_)(int) = SIG_DFL;
};
