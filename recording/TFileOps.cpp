#include "TFileOps.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <QFile>
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
