// The end of a call: whether it is kept (record-calls mode, short-call filters, filtered
// numbers), and then filing it (final file name, the Calls record, the storage check) or
// rejecting it (its file deleted).
#pragma once

#include <QString>

#include "VolgaTypes.h"

struct Tchannel;
class IAlarmCalls;
class IStorageRuns;
class TChannelTable;
class TFilteredNumbers;
class TLiveSettings;
class TPelmGlobals;
class ICallFiling;

class TCallCompletion {
public:
    TCallCompletion(TChannelTable& channels, TLiveSettings& settings, TPelmGlobals& globals,
                    ICallFiling& db, TFilteredNumbers* filtered, IAlarmCalls* alarms,
                    IStorageRuns* storage);

    void CompleteCall(int n);
    // Whether a call is kept: the record-calls mode, the short-call filters and the filtered
    // numbers.
    bool Keeps(const Tchannel& c) const;
    void RejectCall(int n);
    void FileCall(int n);

    // File names of a channel's call.
    QString TemporaryPath(int n) const;
    static QString BaseName(int n, TDateTime start);
    QString Extension() const;  // ".mp3" for the MP3 codec, else ".wav"
    // Length in whole seconds of the time-of-day part of stop − start; -1 when unknown.
    static int CallLength(TDateTime start, TDateTime stop);

private:
    TChannelTable& channels_;
    TLiveSettings& settings_;
    TPelmGlobals& globals_;
    ICallFiling& db_;
    TFilteredNumbers* filtered_;
    IAlarmCalls* alarms_;
    IStorageRuns* storage_;
};
