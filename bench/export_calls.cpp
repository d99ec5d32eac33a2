// Exports the Calls.d of a folder as the program's "Export data" does, in one format, for
// bench/compare_export.sh to time against sqlite3 writing the same rows.
//
//   export_calls FOLDER FORMAT     (FORMAT 0 tab, 1 comma, 2 semicolon, 3 XML)
#include <QCoreApplication>
#include <cstdio>

#include "SystemFormat.h"
#include "TCallExport.h"
#include "TLiveSettings.h"
#include "TMessages.h"
#include "TPelmGlobals.h"
#include "TfmPelmorantDB.h"

namespace {
class Quiet : public TMessages {
public:
    void Show(const QString&) override {}
};
}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: export_calls FOLDER FORMAT\n");
        return 2;
    }
    SetSystemFormat(TVolgaFormatSettings::Iso());
    Quiet quiet;
    TMessages::Install(&quiet);
    TPelmGlobals globals;
    globals.AppDataDir = QString::fromLocal8Bit(argv[1]);
    TLiveSettings settings;
    settings.rdExportFormat = QByteArray(argv[2]).toInt();
    TfmPelmorantDB db(globals, settings);
    db.dbPelmorant.SetDatabasePath(globals.AppDataDir.toStdString());
    QString error;
    const bool ok = TCallExport(db, globals, settings).ExportCallData(&error);
    TMessages::Install(nullptr);
    if (!ok) std::fprintf(stderr, "%s\n", qPrintable(error));
    return ok ? 0 : 1;
}
