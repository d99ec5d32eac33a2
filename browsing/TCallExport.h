// "Export data": the whole call log (every stored call, whatever folder or search is shown) as
// read from "Calls.d", written into AppDataDir in the configured format: "Calls.txt" (tab),
// "Calls.csv" (comma or semicolon, each label and value quoted) or "Calls.xml" (the XML rowset,
// UTF-8). The columns are callID, Channel, Date, startTime, stopTime, inOut, dtmf, callerID, Memo,
// mediumLabel, fileName and fileSize, in that order. The file is replaced atomically. Main thread
// only.
#pragma once

#include <QString>

class TLiveSettings;
class TPelmGlobals;
class TfmPelmorantDB;

class TCallExport {
public:
    TCallExport(TfmPelmorantDB& db, TPelmGlobals& globals, TLiveSettings& settings);

    // The file of an export format (the configuration's item 0..3); empty for any other.
    QString FileFor(int format) const;
    // Exports in the configured format. Shows "Exproting data completed", or the engine's or the
    // system's message on failure (then false, with `error`).
    bool ExportCallData(QString* error = nullptr);

private:
    TfmPelmorantDB& db_;
    TPelmGlobals& globals_;
    TLiveSettings& settings_;
};
