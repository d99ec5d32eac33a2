// Stand-ins for every feature the main window's controller reaches: each command runs the
// function a test sets, and a command whose function is not set is not provided.
#pragma once

#include <QString>
#include <functional>

#include "ICallGrids.h"
#include "ICallRecorder.h"
#include "IFileActions.h"
#include "IPlayer.h"
#include "ISupervision.h"
#include "ITreeActions.h"
#include "TMainController.h"

class TFakeMainFeatures : public IFileActions,
                          public IPlayer,
                          public ITreeActions,
                          public ISupervision,
                          public ICallRecorder,
                          public ICallGrids {
public:
    // File menu.
    std::function<void()> OnMemo, OnDeleteFiles, OnMoveTo, OnCopyTo, OnPrintSetup, OnPrintPreview,
        OnPrint, OnEmailFile, OnExportData, OnUpdateFileActions;
    // Player.
    std::function<void()> OnPlay, OnPause, OnStop, OnRewind, OnFastForward, OnPlayerTick;
    std::function<bool()> OnPlaying;
    // Tree.
    std::function<void(int)> OnTreeAction;
    std::function<bool(QString*)> OnStoreTree;
    std::function<void()> OnClearTree;
    // Supervision.
    std::function<void()> OnShowConfig, OnDrainAlarms, OnDbBackupTick, OnShowDatabaseWindow,
        OnShowTestsWindow;
    // The simulated call.
    std::function<void()> OnRecord;
    std::function<bool()> OnCallActive;
    // The grids.
    std::function<int(Grid)> OnRecordCount;
    std::function<QString(Grid)> OnCurrentFileName;

    // Plugs every feature into the controller; Unplug takes them out again.
    void PlugInto(TMainController& c) {
        c.SetFileActions(this);
        c.SetPlayer(this);
        c.SetTree(this);
        c.SetSupervision(this);
        c.SetRecorder(this);
        c.SetGrids(this);
    }
    static void Unplug(TMainController& c) {
        c.SetFileActions(nullptr);
        c.SetPlayer(nullptr);
        c.SetTree(nullptr);
        c.SetSupervision(nullptr);
        c.SetRecorder(nullptr);
        c.SetGrids(nullptr);
    }

    // IFileActions
    bool Provides(IFileActions::Command c) const override { return bool(Of(c)); }
    void Run(IFileActions::Command c) override { Of(c)(); }
    void UpdateFileActions() override {
        if (OnUpdateFileActions) OnUpdateFileActions();
    }
    // IPlayer
    bool Provides(IPlayer::Command c) const override { return bool(Of(c)); }
    void Run(IPlayer::Command c) override { Of(c)(); }
    bool Playing() const override { return OnPlaying && OnPlaying(); }
    void Tick() override {
        if (OnPlayerTick) OnPlayerTick();
    }
    // ITreeActions
    void Action(int item) override {
        if (OnTreeAction) OnTreeAction(item);
    }
    bool Store(QString* error) override { return !OnStoreTree || OnStoreTree(error); }
    void Clear() override {
        if (OnClearTree) OnClearTree();
    }
    // ISupervision
    void ShowConfig() override {
        if (OnShowConfig) OnShowConfig();
    }
    void DrainAlarms() override {
        if (OnDrainAlarms) OnDrainAlarms();
    }
    void DbBackupTick() override {
        if (OnDbBackupTick) OnDbBackupTick();
    }
    void ShowDatabaseWindow() override {
        if (OnShowDatabaseWindow) OnShowDatabaseWindow();
    }
    void ShowTestsWindow() override {
        if (OnShowTestsWindow) OnShowTestsWindow();
    }
    // ICallRecorder
    void Record() override {
        if (OnRecord) OnRecord();
    }
    bool CallActive() const override { return OnCallActive && OnCallActive(); }
    // ICallGrids
    int RecordCount(Grid g) const override { return OnRecordCount ? OnRecordCount(g) : 0; }
    QString CurrentFileName(Grid g) const override {
        return OnCurrentFileName ? OnCurrentFileName(g) : QString();
    }

private:
    const std::function<void()>& Of(IFileActions::Command c) const {
        using C = IFileActions::Command;
        switch (c) {
            case C::Memo:
                return OnMemo;
            case C::DeleteFiles:
                return OnDeleteFiles;
            case C::MoveTo:
                return OnMoveTo;
            case C::CopyTo:
                return OnCopyTo;
            case C::PrintSetup:
                return OnPrintSetup;
            case C::PrintPreview:
                return OnPrintPreview;
            case C::Print:
                return OnPrint;
            case C::EmailFile:
                return OnEmailFile;
            case C::ExportData:
                break;
        }
        return OnExportData;
    }
    const std::function<void()>& Of(IPlayer::Command c) const {
        using C = IPlayer::Command;
        switch (c) {
            case C::Play:
                return OnPlay;
            case C::Pause:
                return OnPause;
            case C::Stop:
                return OnStop;
            case C::Rewind:
                return OnRewind;
            case C::FastForward:
                break;
        }
        return OnFastForward;
    }
};
