#include "TVolgaValue.h"

#include <cmath>

bool TVolgaValue::AsBool() const {
    switch (kind_) {
        case Kind::Null: return false;
        case Kind::Bool: return std::get<bool>(v_);
        case Kind::Int: return std::get<int64_t>(v_) != 0;
        case Kind::Float:
        case Kind::DateTime: return std::get<double>(v_) != 0.0;
        case Kind::Text: {
            const std::string& s = std::get<std::string>(v_);
            return s == "1" || s == "True" || s == "TRUE" || s == "true";
        }
    }
    return false;
}

int64_t TVolgaValue::AsInt() const {
    switch (kind_) {
        case Kind::Null: return 0;
        case Kind::Bool: return std::get<bool>(v_) ? 1 : 0;
        case Kind::Int: return std::get<int64_t>(v_);
        case Kind::Float:
        case Kind::DateTime: {
            double d = std::get<double>(v_);
            if (!std::isfinite(d) || d > 9.2e18 || d < -9.2e18) return 0;
            return static_cast<int64_t>(std::llround(d));
        }
        case Kind::Text: {
            const std::string& s = std::get<std::string>(v_);
            try {
                size_t used = 0;
                long long v = std::stoll(s, &used, 10);
                return used == s.size() ? v : 0;
            } catch (...) {
                return 0;
            }
        }
    }
    return 0;
}

double TVolgaValue::AsFloat() const {
    switch (kind_) {
        case Kind::Null: return 0.0;
        case Kind::Bool: return std::get<bool>(v_) ? 1.0 : 0.0;
        case Kind::Int: return static_cast<double>(std::get<int64_t>(v_));
        case Kind::Float:
        case Kind::DateTime: return std::get<double>(v_);
        case Kind::Text: {
            const std::string& s = std::get<std::string>(v_);
            try {
                size_t used = 0;
                double v = std::stod(s, &used);
                return used == s.size() ? v : 0.0;
            } catch (...) {
                return 0.0;
            }
        }
    }
    return 0.0;
}

std::string TVolgaValue::AsText(const TVolgaFormatSettings& fmt) const {
    switch (kind_) {
        case Kind::Null: return std::string();
        case Kind::Bool: return std::get<bool>(v_) ? "True" : "False";
        case Kind::Int: return std::to_string(std::get<int64_t>(v_));
        case Kind::Float: return fmt.FormatFloat(std::get<double>(v_));
        case Kind::DateTime: return fmt.FormatDateTime(std::get<double>(v_));
        case Kind::Text: return std::get<std::string>(v_);
    }
    return std::string();
}
