// Whole-file writes that either replace a file completely or leave the old one untouched: the
// data goes to a temporary file in the same folder, every write is checked, the file is
// flushed to the disk and only then renamed over the old one (and the folder flushed). A file
// that replaces another keeps its permission bits; a new file is readable and writable by its
// owner only. On failure (full disk, I/O error, missing folder) the temporary file is removed
// and the reason is reported. Safe to call from any thread for different files.
#pragma once

#include <QByteArray>
#include <QString>

class TAtomicFile {
public:
    // False with `error` (the system's text, e.g. "No space left on device") on failure.
    static bool Write(const QString& path, const QByteArray& data, QString* error = nullptr);
};
