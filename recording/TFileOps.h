// File operations of the recording path and the storage runs.
#pragma once

#include <QString>

class TFileOps {
public:
    // Renames a file; fails (false) when the target exists, so an earlier recording is never
    // overwritten.
    static bool RenameNoReplace(const QString& from, const QString& to);
    // Moves a file, also to another volume (a copy beside the target, on the disk before it
    // takes the target's name, then the original is removed); fails when the target exists.
    static bool MoveNoReplace(const QString& from, const QString& to);
};
