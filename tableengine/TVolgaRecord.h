// One record object of a cursor.
#pragma once

#include <cstdint>
#include <memory>

#include "TVolgaRecordData.h"
#include "VolgaTypes.h"

class TVolgaRecord {
public:
    TVolgaRecordData Data;
    std::unique_ptr<TVolgaRecordData> Backup;  // copy taken at the first edit since load/commit
    void* UserData = nullptr;
    TVolgaRecordStatus Status = TVolgaRecordStatus::rsUnchanged;
    int32_t StoredSize = 0;  // bytes the record takes in the file

    bool IsLive() const {
        return Status != TVolgaRecordStatus::rsDeleted &&
               Status != TVolgaRecordStatus::rsDiscarded;
    }
};
