// The table of line channels and the monitor logic over it.
#pragma once

#include <array>
#include <functional>

#include "Tchannel.h"

class TChannelTable {
public:
    static constexpr int kCapacity = 256;

    TChannelTable();

    int Count() const { return count_; }
    // Throws std::out_of_range for an index outside the capacity.
    Tchannel& operator[](int n);
    const Tchannel& operator[](int n) const;

    // Channel count 2, slots 0 and 1 initialised.
    void InitChannels(int count = 2);
    // True when channel n may record now by its schedule (Operation is not part of it).
    bool InSchedule(int n) const;
    bool InSchedule(int n, TDateTime now) const;
    // Tiles per row and the tile position of a channel (image left/top).
    static int TilesPerRow(int count);
    static void TilePosition(int channel, int count, int& left, int& top);

    void RefreshTilesOnShow();
    // Every 100 ms: state pictures and labels; returns true when a tile changed.
    bool MonitorTick();
    // Ends the call state of channel n and logs "Channel Reset" and "Idle".
    void ResetChannel(int n);

    // The program's table.
    static TChannelTable& Instance();

private:
    std::array<Tchannel, kCapacity> slots_;
    int count_ = 0;
};

// Elapsed time of a call as "hh:nn:ss" (the day part is not shown).
QString ElapsedText(TDateTime from, TDateTime to);
