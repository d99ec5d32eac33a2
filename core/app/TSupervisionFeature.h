// Supervision plugged into the main window: the configuration dialog and the calls database's
// developer window.
#pragma once

#include "ISupervision.h"
#include "TfmCallsDbWindow.h"
#include "TfmConfig.h"

class TSupervisionFeature : public ISupervision {
public:
    TSupervisionFeature(TfmConfig& config, TfmCallsDbWindow& dbWindow)
        : config_(config), dbWindow_(dbWindow) {}
    void ShowConfig() override { config_.Execute(); }
    void ShowDatabaseWindow() override {
        dbWindow_.show();
        dbWindow_.raise();
    }

private:
    TfmConfig& config_;
    TfmCallsDbWindow& dbWindow_;
};
