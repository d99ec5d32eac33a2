// Supervision as the main window reaches it: the configuration dialog, the alarm and storage
// duties of the slow timer, and the developer windows.
#pragma once

class ISupervision {
public:
    virtual ~ISupervision() = default;
    // Shows the configuration dialog modally.
    virtual void ShowConfig() = 0;
    // Moves the queued alarms into the alarms table and sounds them.
    virtual void DrainAlarms() {}
    // Counts towards the next copy of the database files.
    virtual void DbBackupTick() {}
    virtual void ShowDatabaseWindow() {}
    virtual void ShowTestsWindow() {}
};
