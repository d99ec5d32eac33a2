#include "TFileOps.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cerrno>

bool TFileOps::RenameNoReplace(const QString& from, const QString& to) {
    const QByteArray f = QFile::encodeName(from);
    const QByteArray t = QFile::encodeName(to);
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, f.constData(), AT_FDCWD, t.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
#endif
    // File systems without the flag: a hard link fails when the target exists.
    if (::link(f.constData(), t.constData()) != 0) return false;
    if (::unlink(f.constData()) != 0) {
        ::unlink(t.constData());
        return false;
    }
    return true;
}

bool TFileOps::MoveNoReplace(const QString& from, const QString& to) {
    if (TFileOps::RenameNoReplace(from, to)) return true;
    if (errno != EXDEV || QFileInfo::exists(to)) return false;
    // Another volume: a copy beside the target, on the disk before it takes the target's name,
    // and only then the original goes.
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly)) return false;
    QTemporaryFile out(QFileInfo(to).absolutePath() + "/.moving-XXXXXX");
    if (!out.open()) return false;
    QByteArray buffer(1 << 16, Qt::Uninitialized);
    for (;;) {
        const qint64 n = in.read(buffer.data(), buffer.size());
        if (n < 0) return false;
        if (n == 0) break;
        if (out.write(buffer.constData(), n) != n) return false;
    }
    if (!out.flush() || ::fsync(out.handle()) != 0) return false;
    if (!TFileOps::RenameNoReplace(out.fileName(), to)) return false;
    out.setAutoRemove(false);
    if (QFile::remove(from)) return true;
    QFile::remove(to);
    return false;
}
