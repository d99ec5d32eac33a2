// The field values of one record (or of an edit, key or temporary buffer).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Fixed-size values (numbers, dates, SmallStr texts with their terminator) live in `Bytes`, laid
// out by the descriptors' Offset and DataSize. String and BLOB-family values live in `Vars`, one
// entry per such field in field order (TVolgaField::VarIndex); an empty entry is "no data".
struct TVolgaRecordData {
    std::vector<uint8_t> Bytes;
    std::vector<std::string> Vars;

    void Reset(size_t byteCount, size_t varCount) {
        Bytes.assign(byteCount, 0);
        Vars.assign(varCount, std::string());
    }
    bool operator==(const TVolgaRecordData&) const = default;
};
