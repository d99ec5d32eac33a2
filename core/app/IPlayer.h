// The player of the selected recording: the Player menu's transport commands and the time
// display the slow timer refreshes. A command that is not provided is shown disabled.
#pragma once

class IPlayer {
public:
    enum class Command { Play, Pause, Stop, Rewind, FastForward };
    virtual ~IPlayer() = default;
    virtual bool Provides(Command command) const = 0;
    virtual void Run(Command command) = 0;
    virtual bool Playing() const = 0;
    // Refreshes the time display (once a second).
    virtual void Tick() = 0;
};
