// Free space of the volume that holds a folder (QStorageInfo), and the machine's volumes for
// the backup medium list. Behind an interface so that tests can set the figures.
#pragma once

#include <QString>
#include <QStringList>

class TVolumeSpace {
public:
    virtual ~TVolumeSpace() = default;
    // Bytes the user may still write on the volume of `folder`; a folder that does not exist
    // yet is measured on the volume of its nearest existing parent. -1 when unknown.
    virtual qint64 FreeBytes(const QString& folder) const;
    // Root folders of the mounted volumes, sorted.
    virtual QStringList Volumes() const;

    static TVolumeSpace& Instance();
    static void Install(TVolumeSpace* space);  // null restores the real one
};
