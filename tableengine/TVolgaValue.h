// A field value as the data-access layer hands it around: null, Boolean, integer, float,
// date-time or text.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

#include "TVolgaFormatSettings.h"
#include "VolgaTypes.h"

class TVolgaValue {
public:
    enum class Kind { Null, Bool, Int, Float, DateTime, Text };

    TVolgaValue() = default;
    TVolgaValue(bool v) : kind_(Kind::Bool), v_(v) {}
    TVolgaValue(int v) : kind_(Kind::Int), v_(static_cast<int64_t>(v)) {}
    TVolgaValue(int64_t v) : kind_(Kind::Int), v_(v) {}
    TVolgaValue(double v) : kind_(Kind::Float), v_(v) {}
    TVolgaValue(const char* v) : kind_(Kind::Text), v_(std::string(v)) {}
    TVolgaValue(std::string v) : kind_(Kind::Text), v_(std::move(v)) {}
    static TVolgaValue FromDateTime(TDateTime v) {
        TVolgaValue x(v);
        x.kind_ = Kind::DateTime;
        return x;
    }

    Kind kind() const { return kind_; }
    bool IsNull() const { return kind_ == Kind::Null; }
    bool AsBool() const;
    int64_t AsInt() const;
    double AsFloat() const;  // date-times as their TDateTime number
    // Text form: Booleans "True"/"False", floats with "0.######", date-times in the settings'
    // date and time forms, null "".
    std::string AsText(const TVolgaFormatSettings& fmt) const;
    bool operator==(const TVolgaValue& o) const { return kind_ == o.kind_ && v_ == o.v_; }

private:
    Kind kind_ = Kind::Null;
    std::variant<std::monostate, bool, int64_t, double, std::string> v_;
};
