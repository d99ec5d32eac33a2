// File operations of the recording path.
#pragma once

#include <QString>

class TFileOps {
public:
    // Renames a file; fails (false) when the target exists, so an earlier recording is never
    // overwritten.
    static bool RenameNoReplace(const QString& from, const QString& to);
};
