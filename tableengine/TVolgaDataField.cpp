#include "TVolgaDataField.h"

#include <cmath>
#include <cstdio>

#include "EVolgaError.h"
#include "TVolgaDataset.h"
#include "TVolgaField.h"
#include "VolgaConvert.h"

namespace {

bool IsDateKind(TFieldType t) {
    return t == TFieldType::ftDate || t == TFieldType::ftTime || t == TFieldType::ftDateTime;
}

// "0.00##"-style float patterns: zeros are required decimals, hashes optional ones.
std::string FormatFloatPattern(double v, const std::string& pattern, char sep) {
    size_t dot = pattern.find('.');
    int required = 0, optional = 0;
    if (dot != std::string::npos) {
        for (size_t i = dot + 1; i < pattern.size(); ++i) {
            if (pattern[i] == '0') ++required;
            else if (pattern[i] == '#') ++optional;
        }
    }
    int decimals = required + optional;
    char buf[400];
    if (!std::isfinite(v) || std::fabs(v) > 1e300) {
        std::snprintf(buf, sizeof buf, "%g", v);
        return buf;
    }
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    std::string s = buf;
    size_t point = s.find('.');
    if (point != std::string::npos) {
        size_t minLen = point + 1 + static_cast<size_t>(required);
        while (s.size() > minLen && s.back() == '0') s.pop_back();
        if (s.back() == '.') s.pop_back();
        else s[point] = sep;
    }
    if (s == "-0") s = "0";
    return s;
}

TVolgaValue NormaliseForType(const TVolgaValue& v, TFieldType t, const TVolgaFormatSettings& fmt) {
    if (v.IsNull()) return v;
    switch (t) {
        case TFieldType::ftString:
        case TFieldType::ftMemo:
        case TFieldType::ftFmtMemo:
        case TFieldType::ftBlob:
        case TFieldType::ftGraphic: return TVolgaValue(v.AsText(fmt));
        case TFieldType::ftBoolean: return TVolgaValue(v.AsBool());
        case TFieldType::ftSmallint:
        case TFieldType::ftWord:
        case TFieldType::ftInteger:
        case TFieldType::ftLargeint:
        case TFieldType::ftAutoInc: return TVolgaValue(v.AsInt());
        case TFieldType::ftFloat:
        case TFieldType::ftCurrency: return TVolgaValue(v.AsFloat());
        case TFieldType::ftDate:
        case TFieldType::ftTime:
        case TFieldType::ftDateTime: return TVolgaValue::FromDateTime(v.AsFloat());
        case TFieldType::ftUnknown: break;
    }
    return v;
}

}  // namespace

TVolgaDataField::TVolgaDataField(TVolgaDataset* dataset, std::string name, TFieldType type,
                                 int size, TFieldKind kind)
    : FieldName(std::move(name)), DataType(type), Size(size), FieldKind(kind), dataset_(dataset) {}

bool TVolgaDataField::IsNull() const { return Value().IsNull(); }

TVolgaValue TVolgaDataField::Value() const {
    if (Calculated()) {
        auto* area = dataset_->ActiveCalc();
        if (!area || calcSlot_ < 0 || static_cast<size_t>(calcSlot_) >= area->Values.size())
            return TVolgaValue();
        return area->Values[static_cast<size_t>(calcSlot_)];
    }
    const TVolgaRecordData* data = dataset_->ActiveData();
    if (!data || !stored_ || data->Bytes.size() < dataset_->Cursor()->RecordSize())
        return TVolgaValue();
    const TVolgaField& f = *stored_;
    switch (f.DataType) {
        case TVolgaFieldType::SmallInt:
        case TVolgaFieldType::Integer:
        case TVolgaFieldType::AutoInc: return TVolgaValue(f.GetInt(*data));
        case TVolgaFieldType::Int64:
            if (f.IsZero(*data)) return TVolgaValue();
            return TVolgaValue(f.GetInt(*data));
        case TVolgaFieldType::Boolean: return TVolgaValue(f.GetBool(*data));
        case TVolgaFieldType::Double:
        case TVolgaFieldType::Currency: return TVolgaValue(f.GetFloat(*data));
        case TVolgaFieldType::Date:
            if (f.IsZero(*data)) return TVolgaValue();
            return TVolgaValue::FromDateTime(
                TVolgaFormatSettings::DayNumberToDate(static_cast<int32_t>(f.GetInt(*data))));
        case TVolgaFieldType::Time:
            return TVolgaValue::FromDateTime(
                TVolgaFormatSettings::MsToTime(static_cast<int32_t>(f.GetInt(*data))));
        case TVolgaFieldType::DateTime:
            if (f.IsZero(*data)) return TVolgaValue();
            return TVolgaValue::FromDateTime(TVolgaFormatSettings::StampToDateTime(f.GetFloat(*data)));
        case TVolgaFieldType::SmallStr:
        case TVolgaFieldType::String:
        case TVolgaFieldType::Memo:
        case TVolgaFieldType::FmtMemo:
        case TVolgaFieldType::BLOB:
        case TVolgaFieldType::Graphic:
        case TVolgaFieldType::Unknown:
            if (f.IsZero(*data)) return TVolgaValue();
            return TVolgaValue(f.GetText(*data));
    }
    return TVolgaValue();
}

std::string TVolgaDataField::AsString() const {
    const TVolgaFormatSettings& fmt = dataset_->FormatSettings();
    if (!Calculated()) {
        const TVolgaRecordData* data = dataset_->ActiveData();
        if (!data || !stored_ || data->Bytes.size() < dataset_->Cursor()->RecordSize())
            return std::string();
        return VolgaValueToText(*stored_, *data, fmt);
    }
    TVolgaValue v = Value();
    if (v.IsNull()) return std::string();
    switch (DataType) {
        case TFieldType::ftDate: return fmt.FormatDate(v.AsFloat());
        case TFieldType::ftTime: return fmt.FormatTime(v.AsFloat());
        case TFieldType::ftBoolean: return v.AsBool() ? "Yes" : "No";
        default: return v.AsText(fmt);
    }
}

void TVolgaDataField::AppendText(std::string& out) const {
    if (Calculated()) {
        out += AsString();
        return;
    }
    const TVolgaRecordData* data = dataset_->ActiveData();
    if (data && stored_ && data->Bytes.size() >= dataset_->Cursor()->RecordSize())
        VolgaAppendValueText(*stored_, *data, dataset_->FormatSettings(), out);
}

int64_t TVolgaDataField::AsInteger() const { return Value().AsInt(); }
double TVolgaDataField::AsFloat() const { return Value().AsFloat(); }
bool TVolgaDataField::AsBoolean() const { return Value().AsBool(); }
TDateTime TVolgaDataField::AsDateTime() const { return Value().AsFloat(); }

std::string TVolgaDataField::DisplayText() const {
    if (DisplayFormat.empty()) return AsString();
    TVolgaValue v = Value();
    if (v.IsNull()) return std::string();
    const TVolgaFormatSettings& base = dataset_->FormatSettings();
    if (IsDateKind(DataType)) {
        TVolgaFormatSettings fmt = base;
        fmt.ShortDateFormat = DisplayFormat;
        fmt.LongTimeFormat = DisplayFormat;
        if (DataType == TFieldType::ftDate) return fmt.FormatDate(v.AsFloat());
        return fmt.FormatTime(v.AsFloat());
    }
    if (DataType == TFieldType::ftFloat || DataType == TFieldType::ftCurrency)
        return FormatFloatPattern(v.AsFloat(), DisplayFormat, base.DecimalSeparator);
    return AsString();
}

void TVolgaDataField::SetValue(const TVolgaValue& v) {
    dataset_->CheckFieldWrite(*this);
    if (Calculated()) {
        auto* area = dataset_->ActiveCalc();
        if (area && calcSlot_ >= 0 && static_cast<size_t>(calcSlot_) < area->Values.size())
            area->Values[static_cast<size_t>(calcSlot_)] =
                NormaliseForType(v, DataType, dataset_->FormatSettings());
        return;
    }
    if (!stored_ || stored_->DataType == TVolgaFieldType::AutoInc) return;
    TVolgaRecordData* data = dataset_->ActiveData();
    if (!data || data->Bytes.size() < dataset_->Cursor()->RecordSize()) return;
    const TVolgaField& f = *stored_;
    if (v.IsNull()) {
        f.Clear(*data);
        dataset_->FieldChanged();
        return;
    }
    if (v.kind() == TVolgaValue::Kind::Text && IsBlobType(f.DataType)) {
        // Memo and BLOB fields have no declared length: the whole text is their value.
        f.SetText(*data, v.AsText(dataset_->FormatSettings()));
        dataset_->FieldChanged();
        return;
    }
    if (v.kind() == TVolgaValue::Kind::Text) {
        VolgaTextToValue(f, v.AsText(dataset_->FormatSettings()), *data,
                         dataset_->FormatSettings());
        dataset_->FieldChanged();
        return;
    }
    switch (f.DataType) {
        case TVolgaFieldType::SmallInt:
        case TVolgaFieldType::Integer:
        case TVolgaFieldType::Int64: f.SetInt(*data, v.AsInt()); break;
        case TVolgaFieldType::Boolean: f.SetBool(*data, v.AsBool()); break;
        case TVolgaFieldType::Double:
        case TVolgaFieldType::Currency: f.SetFloat(*data, v.AsFloat()); break;
        case TVolgaFieldType::Date:
            f.SetInt(*data, TVolgaFormatSettings::DateToDayNumber(v.AsFloat()));
            break;
        case TVolgaFieldType::Time:
            f.SetInt(*data, TVolgaFormatSettings::TimeToMs(v.AsFloat()));
            break;
        case TVolgaFieldType::DateTime:
            f.SetFloat(*data, TVolgaFormatSettings::DateTimeToStamp(v.AsFloat()));
            break;
        default: f.SetText(*data, v.AsText(dataset_->FormatSettings())); break;
    }
    dataset_->FieldChanged();
}

void TVolgaDataField::SetAsString(const std::string& v) {
    if (Calculated()) {
        SetValue(TVolgaValue(v));
        return;
    }
    SetValue(v.empty() ? TVolgaValue() : TVolgaValue(v));
}

void TVolgaDataField::Clear() { SetValue(TVolgaValue()); }
