// Files at start, before any call can begin, what an interruption left without its record, so
// that every call whose recording was started is found again:
//  - a channel's temporary file ("<n>_recording.wav") with audio in it, left by a call cut off
//    by a crash, a kill or a power cut: its lengths are mended, it is renamed to the
//    channel_date_time name (its time taken from the file, never over another file), and filed
//    with the memo "Recovered after an interruption". The record-calls mode and the duration
//    filters apply as to any call. One with no audio in it is removed;
//  - every recording in the recordings folder with the channel_date_time name that no Calls
//    record names (a call whose record could not be written, a table restored from a copy):
//    filed the same way, dated by its name. One with no audio in it is removed.
// A call that cannot be filed now (the table cannot be written) keeps its recording, under its
// final name, for the next start. Main thread only (it files through the calls database).
#pragma once

#include <QString>
#include <QStringList>

#include "Tchannel.h"
#include "VolgaTypes.h"

class ICallFiling;
class TCallCompletion;
class TChannelTable;
class TLiveSettings;
struct TdeRIFFAudioInfo;

class TCallRecovery {
public:
    TCallRecovery(TChannelTable& channels, TLiveSettings& settings, TCallCompletion& completion,
                  ICallFiling& db);

    struct Summary {
        int Recovered = 0;  // filed, with or without its recording
        int Removed = 0;    // no audio in it
        int Rejected = 0;   // by the record-calls mode or a filter
        QStringList Problems;
    };
    // The channels' temporary files, then the recordings without a record. The recordings
    // folder is read once, and each name is looked up in a set of the names the Calls records
    // hold: no file is opened for a recording that has its record.
    Summary RecoverAll();

    // Mends a WAV file cut off while it was written: the audio ends with the last whole block
    // and both lengths say so. With `toEnd` the audio runs to the end of the file whatever its
    // length says (the recorder's files end with their audio, and one cut off after its last
    // checkpoint holds more than its length says); otherwise a length is taken as it stands
    // unless it is 0 or runs past the end. False with `error` when it is no WAV
    // file; `audioBytes` is the audio it holds and `seconds` how long that plays.
    static bool MendWave(const QString& path, bool toEnd, uint64_t& audioBytes, double& seconds,
                         bool& mp3, QString* error);
    // "<n>_<yyyyMMdd>_<HHmmss>.wav" or ".mp3": the channel and the start; false for any other.
    static bool ParseRecordingName(const QString& name, int& channel, TDateTime& start);

private:
    void RecoverInterruptedCalls(const QStringList& temporaries, Summary& summary);
    void FileRecordingsWithoutRecord(const QStringList& recordings, Summary& summary);
    bool MendOrRemove(const QString& path, bool toEnd, uint64_t& audio, double& seconds, bool& mp3,
                      Summary& summary);
    Tchannel FoundCall(int channel, TDateTime start, TDateTime stop) const;
    bool FileFound(int channel, TDateTime start, TDateTime stop, const QString& fileName,
                   Summary& summary);

    TChannelTable& channels_;
    TLiveSettings& settings_;
    TCallCompletion& completion_;
    ICallFiling& db_;
};
