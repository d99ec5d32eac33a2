// The simulated line source plugged into the main window's Record commands.
#pragma once

#include "ICallRecorder.h"
#include "TdmRecorder.h"

class TRecorderFeature : public ICallRecorder {
public:
    explicit TRecorderFeature(TdmRecorder& recorder) : recorder_(recorder) {}
    void Record() override { recorder_.RecordClick(); }
    bool CallActive() const override { return recorder_.CallActive(); }

private:
    TdmRecorder& recorder_;
};
