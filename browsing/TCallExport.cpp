#include "TCallExport.h"

#include <QFile>
#include <exception>

#include "BrowsingTexts.h"
#include "TLiveSettings.h"
#include "TMessages.h"
#include "TPelmGlobals.h"
#include "TfmPelmorantDB.h"

TCallExport::TCallExport(TfmPelmorantDB& db, TPelmGlobals& globals, TLiveSettings& settings)
    : db_(db), globals_(globals), settings_(settings) {}

QString TCallExport::FileFor(int format) const {
    switch (format) {
        case 0:
            return globals_.AppDataDir + "/Calls.txt";
        case 1:
        case 2:
            return globals_.AppDataDir + "/Calls.csv";
        case 3:
            return globals_.AppDataDir + "/Calls.xml";
        default:
            return QString();
    }
}

bool TCallExport::ExportCallData(QString* error) {
    const int format = settings_.rdExportFormat;
    const std::string file = QFile::encodeName(FileFor(format)).toStdString();
    TVolgaTable& table = db_.tblExport;
    try {
        table.SetTableName("Calls.d");
        // The calls as stored in the file, read as they are written out.
        switch (format) {
            case 0:
                table.ExportFileToText(file, '\t');
                break;
            case 1:
                table.ExportFileToText(file, ',');
                break;
            case 2:
                table.ExportFileToText(file, ';');
                break;
            case 3:
                table.ExportFileToXML(file, "UTF-8");
                break;
            default:
                break;
        }
    } catch (const std::exception& e) {
        const QString message = QString::fromUtf8(e.what());
        if (error) *error = message;
        ShowMessage(message);
        return false;
    }
    ShowMessage(BrowsingTexts::kExportCompleted);
    return true;
}
