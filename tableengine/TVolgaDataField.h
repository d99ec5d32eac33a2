// A field object of a dataset: a stored field bound by name, or a calculated or lookup field
// that lives in the dataset's calculated-field area.
#pragma once

#include <string>

#include "TVolgaValue.h"
#include "VolgaTypes.h"

class TVolgaDataset;
class TVolgaField;

enum class TFieldKind { fkData, fkCalculated, fkLookup };
enum class TFieldAlignment { taLeftJustify, taRightJustify, taCenter };

class TVolgaDataField {
public:
    TVolgaDataField(TVolgaDataset* dataset, std::string name, TFieldType type, int size,
                    TFieldKind kind);

    std::string FieldName;
    std::string DisplayLabel;  // shown as the column title; the field name when empty
    TFieldType DataType;
    int Size;
    TFieldKind FieldKind;
    bool ReadOnly = false;
    bool Visible = true;
    int DisplayWidth = 0;
    std::string DisplayFormat;  // floats: "0.######"; times and dates: a date-time format
    TFieldAlignment Alignment = TFieldAlignment::taLeftJustify;
    std::string DefaultExpression;
    std::string Origin;
    // Lookup fields: the value of LookupResultField in the LookupDataSet record whose
    // LookupKeyFields equal this dataset's KeyFields.
    std::string KeyFields, LookupKeyFields, LookupResultField;
    TVolgaDataset* LookupDataSet = nullptr;

    TVolgaDataset* DataSet() const { return dataset_; }
    const TVolgaField* Stored() const { return stored_; }
    int FieldNo() const { return index_; }
    bool Calculated() const { return FieldKind != TFieldKind::fkData; }
    const std::string& Label() const { return DisplayLabel.empty() ? FieldName : DisplayLabel; }

    // Reading, from the dataset's active buffer.
    bool IsNull() const;
    TVolgaValue Value() const;
    std::string AsString() const;
    // AsString's text appended to `out`.
    void AppendText(std::string& out) const;
    int64_t AsInteger() const;
    double AsFloat() const;
    bool AsBoolean() const;
    TDateTime AsDateTime() const;
    std::string DisplayText() const;  // with DisplayFormat applied

    // Writing into the dataset's active buffer (edit, insert, set-key, calc-fields or filter
    // state); refusals raise EVolgaError.
    void SetValue(const TVolgaValue& v);
    void SetAsString(const std::string& v);
    void SetAsInteger(int64_t v) { SetValue(TVolgaValue(v)); }
    void SetAsFloat(double v) { SetValue(TVolgaValue(v)); }
    void SetAsBoolean(bool v) { SetValue(TVolgaValue(v)); }
    void SetAsDateTime(TDateTime v) { SetValue(TVolgaValue::FromDateTime(v)); }
    void Clear();

private:
    friend class TVolgaDataset;
    TVolgaDataset* dataset_;
    const TVolgaField* stored_ = nullptr;
    int index_ = 0;      // position among the dataset's fields
    int calcSlot_ = -1;  // slot in the calculated-field area
};
