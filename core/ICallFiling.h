// What call completion asks of the calls database: file one kept call. Implemented by the
// calls database module; called on the main thread.
#pragma once

#include <QSet>
#include <QString>

struct Tchannel;

class ICallFiling {
public:
    virtual ~ICallFiling() = default;
    // Writes the Calls record of a kept call (a copy of its channel record) and adds its
    // recording's size to the used space. Throws std::exception (the engine's error) when the
    // record could not be written.
    virtual void AddCall(const Tchannel& channel) = 0;
    // Files a call found at start without its record (a recording left by an interruption, or
    // one no record names): as AddCall, but dated and filed by the call's own start, with
    // `memo` as its memo.
    virtual void AddRecoveredCall(const Tchannel& channel, const QString& memo) = 0;
    // The recording file names the Calls records name.
    virtual QSet<QString> RecordedFileNames() const = 0;
};
