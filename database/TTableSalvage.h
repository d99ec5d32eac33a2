// A table file that cannot be loaded at start is never overwritten and never left in the way:
// it is kept beside the table as "<name>.damaged-YYYYMMDD-hhmmss", and a new table takes its
// place holding every record that can still be read: those before the damage in the file
// itself, and, from the copy in "backupDB" when it holds more, the records the file lost (a
// record counts as lost when no record of the file has its key; without a key the one with more
// records is taken whole). With neither, the new table is empty.
// Main thread only (it runs before the tables are opened).
#pragma once

#include <QString>
#include <vector>

#include "TVolgaCursor.h"

class TTableSalvage {
public:
    struct Result {
        QString FileName;  // "Calls.d"
        QString Reason;    // why the file could not be loaded
        QString KeptAs;    // where the damaged file is kept; empty when it could not be moved
        int FromFile = 0;  // records read before the damage
        int FromCopy = 0;  // records taken from the copy
        QString Error;     // the new table could not be written (the damaged file stays)
    };

    // Whether the table file loads whole; `reason` tells why not.
    static bool Loads(const QString& path, QString* reason);
    // Salvages `fileName` in `dataDir` (its copy is `dataDir`/backupDB/`fileName`). `defs` are
    // the table's fields when neither file nor copy tells them; `keyField` names a record.
    static Result Salvage(const QString& dataDir, const QString& fileName,
                          const std::vector<TVolgaFieldDef>& defs, const QString& keyField);

private:
    static Result& Replace(const QString& path, const std::string& image, Result& result);
};
