#include "TVolumeSpace.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

namespace {
TVolumeSpace realSpace;
TVolumeSpace* installed = nullptr;
}  // namespace

TVolumeSpace& TVolumeSpace::Instance() { return installed ? *installed : realSpace; }

void TVolumeSpace::Install(TVolumeSpace* space) { installed = space; }

qint64 TVolumeSpace::FreeBytes(const QString& folder) const {
    QString path = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    while (!QFileInfo::exists(path)) {
        QString parent = QFileInfo(path).absolutePath();
        if (parent == path) break;
        path = parent;
    }
    QStorageInfo info(path);
    if (!info.isValid() || !info.isReady()) return -1;
    return info.bytesAvailable();
}

QStringList TVolumeSpace::Volumes() const {
    QStringList roots;
    for (const QStorageInfo& v : QStorageInfo::mountedVolumes())
        if (v.isValid() && v.isReady() && !roots.contains(v.rootPath())) roots << v.rootPath();
    roots.sort();
    return roots;
}
