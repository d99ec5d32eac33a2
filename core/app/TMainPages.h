// The pages the main window shows, each built by its own layer: the player panel, the Logger
// and Search pages (browsing), the channel monitor (the program's own) and the Alarms page
// (supervision). The composition root creates them and hands them to the window, which lays
// them out and owns them from then on.
#pragma once

class TAlarmsPage;
class TLoggerPage;
class TMonitorPage;
class TPlayerPanel;
class TSearchPage;

struct TMainPages {
    TPlayerPanel* Player = nullptr;
    TLoggerPage* Logger = nullptr;
    TSearchPage* Search = nullptr;
    TMonitorPage* Monitor = nullptr;
    TAlarmsPage* Alarms = nullptr;

    // Every page newly built, without a parent.
    static TMainPages Create();
};
