// What call completion asks of the calls database: file one kept call. Implemented by the
// calls database module; called on the main thread.
#pragma once

struct Tchannel;

class ICallFiling {
public:
    virtual ~ICallFiling() = default;
    // Writes the Calls record of a kept call (a copy of its channel record) and adds its
    // recording's size to the used space. Throws std::exception (the engine's error) when the
    // record could not be written.
    virtual void AddCall(const Tchannel& channel) = 0;
};
