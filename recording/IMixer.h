// The sound system's recording inputs: the microphone is made the recording input for the
// length of a call, and the input chosen before is restored afterwards.
#pragma once

class IMixer {
public:
    virtual ~IMixer() = default;
    // Both may fail; callers ignore the failure and record with whatever input is selected.
    virtual bool SelectMicrophone() = 0;
    virtual bool RestoreRecordingInput() = 0;
};
