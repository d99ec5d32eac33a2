// The simulated call: Record starts or ends it.
#pragma once

class ICallRecorder {
public:
    virtual ~ICallRecorder() = default;
    virtual void Record() = 0;
    virtual bool CallActive() const = 0;
};
