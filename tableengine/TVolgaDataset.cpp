#include "TVolgaDataset.h"

#include <algorithm>
#include <chrono>
#include <ctime>

#include "EVolgaError.h"
#include "TVolgaDatabase.h"
#include "TVolgaEnv.h"
#include "TVolgaXMLConverter.h"
#include "VolgaCompare.h"
#include "VolgaConvert.h"
#include "VolgaText.h"

std::function<std::string()> TVolgaDataset::UniqueIdGenerator;
std::function<TDateTime()> TVolgaDataset::Now;

namespace {

TDateTime SystemNow() {
    using namespace std::chrono;
    auto now = system_clock::now();
    std::time_t t = system_clock::to_time_t(now);
    std::tm tm{};
    localtime_r(&t, &tm);
    int ms = static_cast<int>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
    TDateTime date = 0, time = 0;
    TVolgaFormatSettings::EncodeDate(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, date);
    TVolgaFormatSettings::EncodeTime(tm.tm_hour, tm.tm_min, tm.tm_sec, ms, time);
    return date + time;
}

// Splits a ";"-separated name list.
std::vector<std::string> SplitNames(const std::string& names) {
    std::vector<std::string> out;
    size_t pos = 0;
    while (pos <= names.size()) {
        size_t end = names.find(';', pos);
        if (end == std::string::npos) end = names.size();
        std::string n = VolgaTrim(std::string_view(names).substr(pos, end - pos));
        if (!n.empty()) out.push_back(n);
        pos = end + 1;
    }
    return out;
}

}  // namespace

TVolgaDataset::TVolgaDataset(TVolgaDatabase* database) { SetDatabase(database); }

TVolgaDataset::~TVolgaDataset() {
    for (TVolgaDataset* d : details_) d->master_ = nullptr;
    if (master_) std::erase(master_->details_, this);
    if (database_) database_->Detach(this);
}

void TVolgaDataset::SetMasterSource(TVolgaDataset* master) {
    for (TVolgaDataset* m = master; m; m = m->master_)
        if (m == this) Error("Circular data link");
    if (master_) std::erase(master_->details_, this);
    master_ = master;
    if (master_) master_->details_.push_back(this);
    if (Active()) ApplyMasterLink();
}

void TVolgaDataset::ApplyMasterLink() {
    if (!Active()) return;
    if (!master_ || !master_->Active() || MasterFields.empty()) {
        if (rangeActive_) CancelRange();
        return;
    }
    std::vector<TVolgaValue> values;
    if (master_->CurrentRecord()) {
        for (const std::string& name : SplitNames(MasterFields))
            values.push_back(master_->FieldByName(name).Value());
    }
    if (values.empty()) {
        // No master record: nothing matches.
        rangeActive_ = false;
        visible_.clear();
        current_ = -1;
        eof_ = bof_ = true;
        return;
    }
    SetRange(values, values);
    First();
}

void TVolgaDataset::NotifyDetails() {
    for (TVolgaDataset* d : details_)
        if (d->Active()) d->ApplyMasterLink();
}

void TVolgaDataset::SetDatabase(TVolgaDatabase* db) {
    if (db == database_) return;
    if (Active()) Close();
    if (database_) database_->Detach(this);
    database_ = db;
    if (database_) database_->Attach(this);
}

const TVolgaFormatSettings& TVolgaDataset::FormatSettings() const {
    static const TVolgaFormatSettings iso = TVolgaFormatSettings::Iso();
    return database_ ? database_->FormatSettings : iso;
}

void TVolgaDataset::Error(const std::string& message) const {
    throw EVolgaError(Name.empty() ? message : Name + ": " + message);
}

void TVolgaDataset::CheckActive() const {
    if (!Active()) Error("Cannot perform this operation on a closed dataset");
}

// ---------------------------------------------------------------------------------------------
// Fields

TVolgaDataField& TVolgaDataset::AddDataField(const std::string& name) {
    persistent_.push_back(
        std::make_unique<TVolgaDataField>(this, name, TFieldType::ftUnknown, 0, TFieldKind::fkData));
    hasPersistentData_ = true;
    return *persistent_.back();
}

TVolgaDataField& TVolgaDataset::AddCalcField(const std::string& name, TFieldType type, int size) {
    persistent_.push_back(
        std::make_unique<TVolgaDataField>(this, name, type, size, TFieldKind::fkCalculated));
    return *persistent_.back();
}

TVolgaDataField& TVolgaDataset::AddLookupField(const std::string& name, TFieldType type, int size,
                                               const std::string& keyFields,
                                               TVolgaDataset* lookupDataSet,
                                               const std::string& lookupKeyFields,
                                               const std::string& lookupResultField) {
    persistent_.push_back(
        std::make_unique<TVolgaDataField>(this, name, type, size, TFieldKind::fkLookup));
    TVolgaDataField& f = *persistent_.back();
    f.KeyFields = keyFields;
    f.LookupDataSet = lookupDataSet;
    f.LookupKeyFields = lookupKeyFields;
    f.LookupResultField = lookupResultField;
    return f;
}

void TVolgaDataset::BindFields() {
    fields_.clear();
    calcCount_ = 0;
    auto bindStored = [&](TVolgaDataField& df, const TVolgaField* sf) {
        df.stored_ = sf;
        df.DataType = DeclaredTypeOf(sf->DataType);
        df.Size = sf->Size;
        if (sf->Numeric) df.Alignment = TFieldAlignment::taRightJustify;
    };
    std::vector<TVolgaDataField*> order;
    if (hasPersistentData_) {
        for (auto& p : persistent_) order.push_back(p.get());
    } else {
        for (int i = 0; i < cursor_->FieldCount(); ++i) {
            const TVolgaField* sf = cursor_->Field(i);
            fields_.push_back(std::make_unique<TVolgaDataField>(this, sf->Name, TFieldType::ftUnknown,
                                                                0, TFieldKind::fkData));
            bindStored(*fields_.back(), sf);
        }
        for (auto& p : persistent_)
            if (p->Calculated()) order.push_back(p.get());
    }
    // Persistent field objects are owned by `persistent_`; the list below refers to them
    // through copies of their settings so that reopening starts from the declarations.
    for (TVolgaDataField* p : order) {
        auto f = std::make_unique<TVolgaDataField>(*p);
        f->dataset_ = this;
        if (!f->Calculated()) {
            const TVolgaField* sf = cursor_->FieldByName(f->FieldName);
            if (!sf) {
                std::string name = f->FieldName;
                fields_.clear();
                Error(VolgaFormat("Field '%s' not found", name.c_str()));
            }
            bindStored(*f, sf);
        } else {
            f->calcSlot_ = calcCount_++;
        }
        fields_.push_back(std::move(f));
    }
    size_t calcBytes = 0;
    for (size_t i = 0; i < fields_.size(); ++i) {
        TVolgaDataField& f = *fields_[i];
        f.index_ = static_cast<int>(i);
        f.Origin = Name;
        if ((f.DataType == TFieldType::ftFloat || f.DataType == TFieldType::ftCurrency) &&
            f.DisplayFormat.empty())
            f.DisplayFormat = "0.######";
        if (f.Calculated()) calcBytes += static_cast<size_t>(std::max(f.Size, 8)) + 1;
    }
    // Field bytes, the calculated-field area and the bookkeeping (record, flag, number).
    if (cursor_->RecordSize() + calcBytes + 16 > 65535) {
        fields_.clear();
        Error("Record size is too big");
    }
}

void TVolgaDataset::RebindFields() {
    for (auto& f : fields_) {
        if (f->Calculated()) continue;
        const TVolgaField* sf = cursor_->FieldByName(f->FieldName);
        if (!sf || DeclaredTypeOf(sf->DataType) != f->DataType) {
            // The table's fields changed: bind afresh.
            BindFields();
            return;
        }
        f->stored_ = sf;
    }
}

TVolgaDataField* TVolgaDataset::FindField(const std::string& name) const {
    for (const auto& f : fields_)
        if (VolgaSameTextCI(f->FieldName, name)) return f.get();
    return nullptr;
}

TVolgaDataField& TVolgaDataset::FieldByName(const std::string& name) const {
    TVolgaDataField* f = FindField(name);
    if (!f) Error(VolgaFormat("Field '%s' not found", name.c_str()));
    return *f;
}

TVolgaRecordData* TVolgaDataset::ActiveData() const {
    if (readOverride_) return const_cast<TVolgaRecordData*>(readOverride_);
    switch (state_) {
        case TDataSetState::dsEdit:
        case TDataSetState::dsInsert: return const_cast<TVolgaRecordData*>(&editBuffer_);
        case TDataSetState::dsSetKey: return const_cast<TVolgaRecordData*>(&keyBuffer_);
        case TDataSetState::dsBrowse: {
            TVolgaRecord* r = CurrentRecord();
            return r ? &r->Data : nullptr;
        }
        default: return nullptr;
    }
}

TVolgaDataset::CalcArea* TVolgaDataset::ActiveCalc() const {
    if (calcOverride_) return calcOverride_;
    switch (state_) {
        case TDataSetState::dsEdit:
        case TDataSetState::dsInsert: return const_cast<CalcArea*>(&editCalc_);
        case TDataSetState::dsBrowse:
            return CurrentRecord() ? const_cast<CalcArea*>(&currentCalc_) : nullptr;
        default: return nullptr;
    }
}

void TVolgaDataset::CheckFieldWrite(const TVolgaDataField& field) const {
    switch (state_) {
        case TDataSetState::dsEdit:
        case TDataSetState::dsInsert:
        case TDataSetState::dsSetKey:
        case TDataSetState::dsCalcFields:
        case TDataSetState::dsFilter: break;
        default: Error("Table is not in edit or insert mode");
    }
    if (state_ == TDataSetState::dsCalcFields && !field.Calculated()) Error("Cannot edit CalcFields");
    if (field.ReadOnly && state_ != TDataSetState::dsSetKey && state_ != TDataSetState::dsFilter &&
        state_ != TDataSetState::dsCalcFields)
        Error(VolgaFormat("Field '%s' is read only!", field.Label().c_str()));
}

void TVolgaDataset::ComputeCalcFields(const TVolgaRecordData* data, CalcArea& area) {
    area.Values.assign(static_cast<size_t>(calcCount_), TVolgaValue());
    if (calcCount_ == 0 || !data) return;
    TDataSetState saved = state_;
    const TVolgaRecordData* savedRead = readOverride_;
    CalcArea* savedCalc = calcOverride_;
    state_ = TDataSetState::dsCalcFields;
    readOverride_ = data;
    calcOverride_ = &area;
    try {
        for (auto& f : fields_) {
            if (f->FieldKind != TFieldKind::fkLookup || !f->LookupDataSet ||
                !f->LookupDataSet->Active())
                continue;
            std::vector<TVolgaValue> keys;
            for (const std::string& k : SplitNames(f->KeyFields)) keys.push_back(FieldByName(k).Value());
            std::vector<TVolgaValue> r =
                f->LookupDataSet->Lookup(f->LookupKeyFields, keys, f->LookupResultField);
            if (!r.empty()) area.Values[static_cast<size_t>(f->calcSlot_)] = r[0];
        }
        if (OnCalcFields) OnCalcFields(*this);
    } catch (...) {
        state_ = saved;
        readOverride_ = savedRead;
        calcOverride_ = savedCalc;
        throw;
    }
    state_ = saved;
    readOverride_ = savedRead;
    calcOverride_ = savedCalc;
}

// ---------------------------------------------------------------------------------------------
// Opening and closing

void TVolgaDataset::SetCursor(TVolgaCursor* cursor, bool owned) {
    if (owned) {
        ownedCursor_.reset(cursor);
    } else {
        ownedCursor_.reset();
    }
    cursor_ = cursor;
}

void TVolgaDataset::Open() {
    if (Active()) return;
    if (BeforeOpen) BeforeOpen(*this);
    current_ = -1;
    auto start = std::chrono::steady_clock::now();
    LoadData();
    try {
        BindFields();
    } catch (...) {
        ReleaseData();
        cursor_ = nullptr;
        ownedCursor_.reset();
        throw;
    }
    keyBuffer_ = cursor_->NewBuffer();
    rangeActive_ = false;
    state_ = TDataSetState::dsBrowse;
    try {
        BuildVisibleList(false);
    } catch (...) {
        // A filter that names a missing field: the table opens with the filter off.
        filtered_ = false;
        BuildVisibleList(false);
    }
    current_ = visible_.empty() ? -1 : 0;
    bof_ = true;
    eof_ = visible_.empty();
    ComputeCalcFields(CurrentRecord() ? &CurrentRecord()->Data : nullptr, currentCalc_);
    if (database_) database_->RegisterOpen(this, true);
    if (master_) ApplyMasterLink();
    lastOpenMs_ = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                       std::chrono::steady_clock::now() - start)
                                       .count());
    if (AfterOpen) AfterOpen(*this);
}

void TVolgaDataset::ReleaseRecordData() {
    if (!OnDestroyRecordData || !ownedCursor_) return;
    for (const auto& r : cursor_->Records())
        if (r->UserData) {
            OnDestroyRecordData(*this, r->UserData);
            r->UserData = nullptr;
        }
}

void TVolgaDataset::Close() {
    if (!Active()) return;
    if (BeforeClose) BeforeClose(*this);
    ReleaseData();  // may refuse (a source with open clones)
    if (state_ == TDataSetState::dsEdit || state_ == TDataSetState::dsInsert) {
        state_ = TDataSetState::dsBrowse;
        ChangeCountDelta(-1);
    }
    ReleaseRecordData();
    fields_.clear();
    visible_.clear();
    current_ = -1;
    eof_ = bof_ = true;
    rangeActive_ = false;
    editCalc_.Values.clear();
    currentCalc_.Values.clear();
    cursor_ = nullptr;
    ownedCursor_.reset();
    state_ = TDataSetState::dsInactive;
    if (database_) database_->RegisterOpen(this, false);
    if (AfterClose) AfterClose(*this);
}

// ---------------------------------------------------------------------------------------------
// The visible list

bool TVolgaDataset::InRange(const TVolgaRecord* rec) const {
    if (!rangeActive_) return true;
    const bool ci = (sortOptions_ & vsoCaseInsensitive) != 0;
    for (size_t i = 0; i < rangeKeys_.size(); ++i) {
        if (static_cast<int>(i) < rangeStartCount_[0] &&
            VolgaCompareValues(*rangeKeys_[i], rec->Data, rangeStart_, ci) < 0)
            return false;
    }
    for (size_t i = 0; i < rangeKeys_.size(); ++i) {
        if (static_cast<int>(i) < rangeEndCount_[0] &&
            VolgaCompareValues(*rangeKeys_[i], rec->Data, rangeEnd_, ci) > 0)
            return false;
    }
    return true;
}

bool TVolgaDataset::RecordPassesFilter(TVolgaRecord* rec) {
    if (!filtered_) return true;
    const bool ci = (sortOptions_ & vsoCaseInsensitive) != 0;
    if (!filter_.IsEmpty() && !filter_.Evaluate(rec->Data, ci, FormatSettings())) return false;
    if (!OnFilterRecord) return true;
    bool accept = true;
    TDataSetState saved = state_;
    const TVolgaRecordData* savedRead = readOverride_;
    CalcArea candidateCalc;
    CalcArea* savedCalc = calcOverride_;
    ComputeCalcFields(&rec->Data, candidateCalc);
    state_ = TDataSetState::dsFilter;
    readOverride_ = &rec->Data;
    calcOverride_ = &candidateCalc;
    try {
        OnFilterRecord(*this, accept);
    } catch (...) {
        state_ = saved;
        readOverride_ = savedRead;
        calcOverride_ = savedCalc;
        throw;
    }
    state_ = saved;
    readOverride_ = savedRead;
    calcOverride_ = savedCalc;
    return accept;
}

void TVolgaDataset::BuildVisibleList(bool keepPosition) {
    if (!cursor_) return;
    if (filtered_ && !filter_.IsEmpty()) filter_.Prepare(*cursor_, FormatSettings());
    TVolgaRecord* remembered = nullptr;
    const bool open = Active();
    if (open) {
        PostPendingEdit();
        remembered = CurrentRecord();
        if (BeforeScroll) BeforeScroll(*this);
    }
    visible_.clear();
    visible_.reserve(static_cast<size_t>(cursor_->RecordCount()));
    const auto& recs = cursor_->Records();
    for (size_t i = 0; i < recs.size(); ++i) {
        // Records are separate heap blocks: fetch the ones ahead while this one is tested.
        if (i + 16 < recs.size()) __builtin_prefetch(recs[i + 16].get());
        if (i + 8 < recs.size()) __builtin_prefetch(recs[i + 8]->Data.Bytes.data());
        TVolgaRecord* rec = recs[i].get();
        if (!rec->IsLive()) continue;
        if (!InRange(rec)) continue;
        if (!RecordPassesFilter(rec)) continue;
        visible_.push_back(rec);
    }
    std::vector<TVolgaField*> keys = cursor_->FieldList(indexFieldNames_);
    sorted_ = false;
    if (!keys.empty()) {
        const bool ci = (sortOptions_ & vsoCaseInsensitive) != 0;
        const bool desc = (sortOptions_ & vsoDescendSort) != 0;
        std::sort(visible_.begin(), visible_.end(), [&](TVolgaRecord* a, TVolgaRecord* b) {
            int c = VolgaCompareRecords(keys, a->Data, b->Data, ci);
            return desc ? c > 0 : c < 0;
        });
        sorted_ = true;
    }
    current_ = -1;
    if (open) {
        if (keepPosition && remembered) {
            auto it = std::find(visible_.begin(), visible_.end(), remembered);
            if (it != visible_.end()) current_ = static_cast<int>(it - visible_.begin());
        }
        if (current_ < 0 && !visible_.empty()) current_ = 0;
        bof_ = current_ <= 0;
        eof_ = visible_.empty();
        if (AutoCalcFields) ComputeCalcFields(CurrentRecord() ? &CurrentRecord()->Data : nullptr,
                                              currentCalc_);
        if (AfterScroll) AfterScroll(*this);
        NotifyDetails();
    }
}

void TVolgaDataset::Rebuild() {
    if (!Active()) return;
    BuildVisibleList(true);
}

void TVolgaDataset::SetIndexFieldNames(const std::string& names) {
    indexFieldNames_ = names;
    if (Active()) BuildVisibleList(true);
}

void TVolgaDataset::SetSortOptions(TVolgaSortOptions options) {
    sortOptions_ = options;
    if (Active()) BuildVisibleList(true);
}

void TVolgaDataset::SetFilter(const std::string& text) {
    filter_.SetText(text, FormatSettings());  // on an error the filter is left empty
    if (Active() && filtered_) BuildVisibleList(true);
}

void TVolgaDataset::SetFiltered(bool on) {
    if (Active()) PostPendingEdit();
    filtered_ = on;
    if (Active()) {
        BuildVisibleList(false);
        First();
    }
}

void TVolgaDataset::SetRange(const std::vector<TVolgaValue>& start,
                             const std::vector<TVolgaValue>& end) {
    CheckActive();
    rangeKeys_ = cursor_->FieldList(RangeFieldNames);
    rangeStart_ = cursor_->NewBuffer();
    rangeEnd_ = cursor_->NewBuffer();
    const TVolgaFormatSettings& fmt = FormatSettings();
    size_t ns = std::min(start.size(), rangeKeys_.size());
    size_t ne = std::min(end.size(), rangeKeys_.size());
    for (size_t i = 0; i < ns; ++i)
        VolgaTextToValue(*rangeKeys_[i], start[i].AsText(fmt), rangeStart_, fmt);
    for (size_t i = 0; i < ne; ++i)
        VolgaTextToValue(*rangeKeys_[i], end[i].AsText(fmt), rangeEnd_, fmt);
    rangeStartCount_ = {static_cast<int>(ns)};
    rangeEndCount_ = {static_cast<int>(ne)};
    rangeActive_ = true;
    BuildVisibleList(false);
}

void TVolgaDataset::CancelRange() {
    if (!rangeActive_) return;
    rangeActive_ = false;
    if (Active()) BuildVisibleList(false);
}

// ---------------------------------------------------------------------------------------------
// Navigation

TVolgaRecord* TVolgaDataset::CurrentRecord() const {
    if (current_ < 0 || current_ >= static_cast<int>(visible_.size())) return nullptr;
    return visible_[static_cast<size_t>(current_)];
}

void TVolgaDataset::PostPendingEdit() {
    if (state_ == TDataSetState::dsEdit || state_ == TDataSetState::dsInsert) Post();
}

void TVolgaDataset::SetCurrent(int index) {
    if (BeforeScroll) BeforeScroll(*this);
    current_ = index;
    Scrolled();
}

void TVolgaDataset::Scrolled() {
    if (AutoCalcFields)
        ComputeCalcFields(CurrentRecord() ? &CurrentRecord()->Data : nullptr, currentCalc_);
    if (AfterScroll) AfterScroll(*this);
    NotifyDetails();
}

void TVolgaDataset::First() {
    CheckActive();
    PostPendingEdit();
    SetCurrent(visible_.empty() ? -1 : 0);
    bof_ = true;
    eof_ = visible_.empty();
}

void TVolgaDataset::Last() {
    CheckActive();
    PostPendingEdit();
    SetCurrent(static_cast<int>(visible_.size()) - 1);
    eof_ = true;
    bof_ = visible_.empty();
}

void TVolgaDataset::Next() {
    CheckActive();
    PostPendingEdit();
    if (current_ + 1 < static_cast<int>(visible_.size())) {
        SetCurrent(current_ + 1);
        bof_ = false;
        eof_ = false;
    } else {
        eof_ = true;
    }
}

void TVolgaDataset::Prior() {
    CheckActive();
    PostPendingEdit();
    if (current_ > 0) {
        SetCurrent(current_ - 1);
        bof_ = false;
        eof_ = false;
    } else {
        bof_ = true;
    }
}

int TVolgaDataset::RecNo() const {
    if (state_ == TDataSetState::dsInsert) return 0;
    return CurrentRecord() ? current_ + 1 : 0;
}

void TVolgaDataset::SetRecNo(int recNo) {
    CheckActive();
    PostPendingEdit();
    if (visible_.empty()) return;
    int index = std::clamp(recNo, 1, static_cast<int>(visible_.size())) - 1;
    SetCurrent(index);
    bof_ = index == 0;
    eof_ = false;
}

// ---------------------------------------------------------------------------------------------
// Change counting

void TVolgaDataset::RaiseNeedToSave() {
    if (OnNeedToSaveChange) OnNeedToSaveChange(*this);
}

void TVolgaDataset::ChangeCountDelta(int delta) {
    int old = changeCount_;
    changeCount_ = std::max(0, changeCount_ + delta);
    if (old == 0 && changeCount_ > 0) {
        if (database_) database_->RegisterChanged(this, true);
        RaiseNeedToSave();
    } else if (delta < 0 && old > 0 && changeCount_ == 0) {
        if (database_) database_->RegisterChanged(this, false);
        RaiseNeedToSave();
    }
}

void TVolgaDataset::ResetChangeCount() {
    changeCount_ = 0;
    if (database_) database_->RegisterChanged(this, false);
    RaiseNeedToSave();
}

void TVolgaDataset::NotifyCallback(int percent) {
    if (OnCallback) OnCallback(*this, percent);
}

// ---------------------------------------------------------------------------------------------
// Editing

void TVolgaDataset::ApplyDefaults() {
    const TVolgaFormatSettings& fmt = FormatSettings();
    for (auto& f : fields_) {
        if (f->Calculated() || !f->stored_) continue;
        std::string def = !f->DefaultExpression.empty() ? f->DefaultExpression
                                                        : f->stored_->DefaultValue;
        if (def.empty()) continue;
        const TVolgaField& sf = *f->stored_;
        TDateTime now = Now ? Now() : SystemNow();
        std::string upper = VolgaUpper(def);
        if (upper == "TODAY" && sf.DataType == TVolgaFieldType::Date) {
            sf.SetInt(editBuffer_, TVolgaFormatSettings::DateToDayNumber(now));
        } else if (upper == "NOW" && sf.DataType == TVolgaFieldType::DateTime) {
            sf.SetFloat(editBuffer_, TVolgaFormatSettings::DateTimeToStamp(now));
        } else if (upper == "NOW" && sf.DataType == TVolgaFieldType::Time) {
            sf.SetInt(editBuffer_, TVolgaFormatSettings::TimeToMs(now));
        } else if (upper == "UNICOD" && (sf.DataType == TVolgaFieldType::SmallStr ||
                                         sf.DataType == TVolgaFieldType::String)) {
            if (UniqueIdGenerator) sf.SetText(editBuffer_, UniqueIdGenerator());
        } else if (sf.DataType != TVolgaFieldType::AutoInc) {
            VolgaTextToValue(sf, def, editBuffer_, fmt);
        }
    }
}

void TVolgaDataset::Edit() {
    CheckActive();
    if (state_ == TDataSetState::dsEdit || state_ == TDataSetState::dsInsert) return;
    if (ReadOnly) Error("Read-only record cannot be changed");
    TVolgaRecord* rec = CurrentRecord();
    if (!rec) {
        Insert();
        return;
    }
    if (BeforeEdit) BeforeEdit(*this);
    if (!rec->IsLive()) return;  // deleted through another dataset of the same records
    cursor_->BackupRecord(rec);
    ChangeCountDelta(+1);
    editBuffer_ = rec->Data;
    editCalc_ = currentCalc_;
    state_ = TDataSetState::dsEdit;
    if (AfterEdit) AfterEdit(*this);
}

void TVolgaDataset::Insert() {
    CheckActive();
    if (ReadOnly) Error("You have read only access, you can not add records!");
    PostPendingEdit();
    if (BeforeInsert) BeforeInsert(*this);
    ChangeCountDelta(+1);
    editBuffer_ = cursor_->NewBuffer();
    editCalc_.Values.assign(static_cast<size_t>(calcCount_), TVolgaValue());
    state_ = TDataSetState::dsInsert;
    try {
        ApplyDefaults();
        if (OnNewRecord) OnNewRecord(*this);
    } catch (...) {
        state_ = TDataSetState::dsBrowse;
        ChangeCountDelta(-1);
        throw;
    }
    if (AfterInsert) AfterInsert(*this);
}

void TVolgaDataset::Append() { Insert(); }

bool TVolgaDataset::CheckKey(const TVolgaRecordData& buffer, const TVolgaRecord* self) const {
    std::vector<TVolgaField*> keys = cursor_->FieldList(UniqueFieldNames);
    if (keys.empty()) return true;
    for (const auto& rp : cursor_->Records()) {
        const TVolgaRecord* r = rp.get();
        if (r == self || !r->IsLive()) continue;
        if (VolgaCompareRecords(keys, buffer, r->Data, false) == 0) return false;
    }
    return true;
}

int TVolgaDataset::FindSortedPosition(const TVolgaRecordData& key,
                                      const std::vector<TVolgaField*>& keys, bool leftmost) const {
    const bool ci = (sortOptions_ & vsoCaseInsensitive) != 0;
    const bool desc = (sortOptions_ & vsoDescendSort) != 0;
    int lo = 0, hi = static_cast<int>(visible_.size());
    while (lo < hi) {
        int mid = lo + (hi - lo) / 2;
        int c = VolgaCompareRecords(keys, visible_[static_cast<size_t>(mid)]->Data, key, ci);
        if (desc) c = -c;
        if (c < 0 || (!leftmost && c == 0)) lo = mid + 1;
        else hi = mid;
    }
    return lo;
}

void TVolgaDataset::Post() {
    CheckActive();
    if (state_ != TDataSetState::dsEdit && state_ != TDataSetState::dsInsert) return;
    if (BeforePost) BeforePost(*this);
    const bool inserting = state_ == TDataSetState::dsInsert;
    TVolgaRecord* rec = inserting ? nullptr : CurrentRecord();
    if (CheckKeyViolation && !UniqueFieldNames.empty() && !CheckKey(editBuffer_, rec))
        Error(std::string(inserting ? "Error saving new record: " : "Error saving record: ") +
              "Key violation");
    std::string message;
    if (inserting) {
        TVolgaRecord* added = cursor_->PostRecord(editBuffer_, nullptr, message);
        if (!added) Error("Error saving new record: " + message);
        state_ = TDataSetState::dsBrowse;
        visible_.push_back(added);
        current_ = static_cast<int>(visible_.size()) - 1;
        std::vector<TVolgaField*> keys = cursor_->FieldList(indexFieldNames_);
        if (!keys.empty() && sorted_ && (sortOptions_ & vsoInsertInOrder)) {
            visible_.pop_back();
            int pos = FindSortedPosition(added->Data, keys, true);
            visible_.insert(visible_.begin() + pos, added);
            current_ = pos;
        }
    } else {
        std::vector<TVolgaField*> keys = cursor_->FieldList(indexFieldNames_);
        bool keyChanged = false;
        if (rec && !keys.empty())
            keyChanged = VolgaCompareRecords(keys, rec->Data, editBuffer_, false) != 0;
        if (!cursor_->PostRecord(editBuffer_, rec, message)) Error("Error saving record: " + message);
        if (keyChanged) sorted_ = false;
        state_ = TDataSetState::dsBrowse;
    }
    editBuffer_ = TVolgaRecordData();
    if (AutoCalcFields)
        ComputeCalcFields(CurrentRecord() ? &CurrentRecord()->Data : nullptr, currentCalc_);
    if (AfterPost) AfterPost(*this);
}

void TVolgaDataset::Cancel() {
    if (state_ != TDataSetState::dsEdit && state_ != TDataSetState::dsInsert) return;
    if (BeforeCancel) BeforeCancel(*this);
    // The edit happened in the edit buffer only: dropping it leaves the record as it was
    // before this edit (earlier posted changes stay posted).
    editBuffer_ = TVolgaRecordData();
    state_ = TDataSetState::dsBrowse;
    ChangeCountDelta(-1);
    if (AutoCalcFields)
        ComputeCalcFields(CurrentRecord() ? &CurrentRecord()->Data : nullptr, currentCalc_);
    if (AfterCancel) AfterCancel(*this);
}

void TVolgaDataset::Delete() {
    CheckActive();
    if (ReadOnly) Error("Read-only record cannot be deleted");
    if (state_ == TDataSetState::dsInsert) {
        Cancel();
        return;
    }
    if (state_ == TDataSetState::dsEdit) Cancel();
    TVolgaRecord* rec = CurrentRecord();
    if (!rec) return;
    if (BeforeDelete) BeforeDelete(*this);
    std::string message;
    if (!cursor_->DeleteRecord(rec, message)) Error("Error deleting record: " + message);
    visible_.erase(visible_.begin() + current_);
    ChangeCountDelta(+1);
    if (current_ >= static_cast<int>(visible_.size())) current_ = static_cast<int>(visible_.size()) - 1;
    eof_ = visible_.empty();
    bof_ = current_ <= 0;
    Scrolled();
    if (AfterDelete) AfterDelete(*this);
}

// ---------------------------------------------------------------------------------------------
// Locating

std::vector<TVolgaField*> TVolgaDataset::PrepareKeyBuffer(const std::string& fieldNames,
                                                          const std::vector<TVolgaValue>& values,
                                                          bool& emptyValue) {
    std::vector<TVolgaField*> keys;
    emptyValue = false;
    for (const std::string& name : SplitNames(fieldNames)) {
        TVolgaDataField* df = FindField(name);
        if (!df) Error(VolgaFormat("Field '%s' not found", name.c_str()));
        if (df->Calculated() || !df->stored_ || IsBlobType(df->stored_->DataType))
            Error("There are calc or BLOB fields in list of key fields");
        keys.push_back(const_cast<TVolgaField*>(df->stored_));
    }
    keyBuffer_ = cursor_->NewBuffer();
    const TVolgaFormatSettings& fmt = FormatSettings();
    for (size_t i = 0; i < keys.size(); ++i) {
        if (i >= values.size()) {
            emptyValue = true;
            break;
        }
        std::string text = values[i].AsText(fmt);
        if (values[i].kind() == TVolgaValue::Kind::Bool) text = values[i].AsBool() ? "TRUE" : "FALSE";
        if (text.empty()) emptyValue = true;
        VolgaTextToValue(*keys[i], text, keyBuffer_, fmt);
    }
    return keys;
}

void TVolgaDataset::FindKey(const std::vector<TVolgaField*>& keys, int& index) {
    index = -1;
    // Binary search when the visible list is sorted on the searched fields.
    std::vector<std::string> idx = SplitNames(indexFieldNames_);
    bool prefix = sorted_ && !(sortOptions_ & vsoCaseInsensitive) && idx.size() >= keys.size();
    for (size_t i = 0; prefix && i < keys.size(); ++i)
        if (!VolgaSameTextCI(idx[i], keys[i]->Name)) prefix = false;
    if (prefix) {
        int pos = FindSortedPosition(keyBuffer_, keys, true);
        if (pos < static_cast<int>(visible_.size()) &&
            VolgaCompareRecords(keys, visible_[static_cast<size_t>(pos)]->Data, keyBuffer_, false) == 0)
            index = pos;
        return;
    }
    for (size_t i = 0; i < visible_.size(); ++i) {
        if (VolgaCompareRecords(keys, visible_[i]->Data, keyBuffer_, false) == 0) {
            index = static_cast<int>(i);
            return;
        }
    }
}

bool TVolgaDataset::Locate(const std::string& fieldNames, const std::vector<TVolgaValue>& values,
                           TLocateOptions options) {
    CheckActive();
    PostPendingEdit();
    if (visible_.empty() || fieldNames.empty() || values.empty()) return false;
    bool emptyValue = false;
    std::vector<TVolgaField*> keys = PrepareKeyBuffer(fieldNames, values, emptyValue);
    if (keys.empty() || emptyValue) return false;
    int found = -1;
    if (options == 0) {
        FindKey(keys, found);
    } else {
        const TVolgaFormatSettings& fmt = FormatSettings();
        std::vector<std::string> keyTexts;
        for (size_t i = 0; i < keys.size(); ++i) {
            std::string t = values[i].AsText(fmt);
            keyTexts.push_back((options & loCaseInsensitive) ? VolgaUpper(t) : t);
        }
        for (size_t r = 0; r < visible_.size() && found < 0; ++r) {
            const TVolgaRecordData& d = visible_[r]->Data;
            bool all = true;
            for (size_t i = 0; i < keys.size() && all; ++i) {
                const TVolgaField& f = *keys[i];
                if (f.DataType == TVolgaFieldType::SmallStr || f.DataType == TVolgaFieldType::String) {
                    std::string v = f.GetText(d);
                    if (v.empty()) {
                        all = false;  // an empty field value matches nothing
                        break;
                    }
                    if (options & loCaseInsensitive) v = VolgaUpper(v);
                    if (options & loPartialKey)
                        all = v.compare(0, keyTexts[i].size(), keyTexts[i]) == 0;
                    else
                        all = v == keyTexts[i];
                } else {
                    bool nullable = f.DataType == TVolgaFieldType::Date ||
                                    f.DataType == TVolgaFieldType::DateTime ||
                                    f.DataType == TVolgaFieldType::Int64;
                    if (nullable && f.IsZero(d)) {
                        all = false;
                        break;
                    }
                    all = VolgaCompareValues(f, d, keyBuffer_, false) == 0;
                }
            }
            if (all) found = static_cast<int>(r);
        }
    }
    if (found < 0) return false;
    SetCurrent(found);
    bof_ = found == 0;
    eof_ = false;
    return true;
}

std::vector<TVolgaValue> TVolgaDataset::Lookup(const std::string& fieldNames,
                                               const std::vector<TVolgaValue>& values,
                                               const std::string& resultFields) {
    std::vector<TVolgaValue> out;
    if (!Active() || visible_.empty() || values.empty()) return out;
    bool emptyValue = false;
    std::vector<TVolgaField*> keys = PrepareKeyBuffer(fieldNames, values, emptyValue);
    if (keys.empty() || emptyValue) return out;
    int found = -1;
    FindKey(keys, found);
    if (found < 0) return out;
    for (const std::string& name : SplitNames(resultFields)) {
        TVolgaDataField& f = FieldByName(name);
        out.push_back(ValueAt(found, f.FieldNo()));
    }
    return out;
}

// ---------------------------------------------------------------------------------------------
// Bookmarks

TVolgaBookmark TVolgaDataset::GetBookmark() const { return CurrentRecord(); }

void TVolgaDataset::GotoBookmark(TVolgaBookmark b) {
    CheckActive();
    PostPendingEdit();
    auto it = std::find(visible_.begin(), visible_.end(), b);
    if (it == visible_.end()) return;
    SetCurrent(static_cast<int>(it - visible_.begin()));
    bof_ = current_ == 0;
    eof_ = false;
}

bool TVolgaDataset::BookmarkValid(TVolgaBookmark b) const {
    return b && std::find(visible_.begin(), visible_.end(), b) != visible_.end();
}

int TVolgaDataset::CompareBookmarks(TVolgaBookmark a, TVolgaBookmark b) const {
    if (a == b) return 0;
    return std::less<TVolgaBookmark>()(a, b) ? -1 : 1;
}

// ---------------------------------------------------------------------------------------------
// Saving and undoing

void TVolgaDataset::SaveChanges() {
    CheckActive();
    PostPendingEdit();
    SaveIfModified();
}

void TVolgaDataset::SaveIfModified() {
    if (changeCount_ > 0) SaveModified();
}

void TVolgaDataset::SaveToFile(const std::string& fileName) {
    CheckActive();
    cursor_->Env = database_ ? database_->Env : nullptr;
    cursor_->SaveToFile(fileName, SaveOptions, (sortOptions_ & vsoCaseInsensitive) != 0,
                        indexFieldNames_);
}

void TVolgaDataset::CancelChanges() {
    if (!Active() || changeCount_ == 0) return;
    if (state_ == TDataSetState::dsEdit || state_ == TDataSetState::dsInsert) {
        editBuffer_ = TVolgaRecordData();
        state_ = TDataSetState::dsBrowse;
    }
    cursor_->UndoAllChanges();
    BuildVisibleList(true);
    ResetChangeCount();
    NotifySharers();
}

void TVolgaDataset::CommitChanges() {
    if (!Active() || changeCount_ == 0) return;
    PostPendingEdit();
    cursor_->CommitAllChanges();
    BuildVisibleList(true);
    ResetChangeCount();
    NotifySharers();
}

void TVolgaDataset::EmptyTable() {
    CheckActive();
    if (state_ == TDataSetState::dsEdit || state_ == TDataSetState::dsInsert) {
        editBuffer_ = TVolgaRecordData();
        state_ = TDataSetState::dsBrowse;
    }
    ReleaseRecordData();
    visible_.clear();
    cursor_->ClearRecords();
    current_ = -1;
    NotifySharers();
    First();
}

void TVolgaDataset::Refresh() {
    CheckActive();
    std::vector<TVolgaValue> remembered;
    std::vector<std::string> uniqueNames = SplitNames(UniqueFieldNames);
    if (CurrentRecord() && !uniqueNames.empty()) {
        for (const std::string& n : uniqueNames) {
            TVolgaDataField* f = FindField(n);
            if (!f) {
                remembered.clear();
                break;
            }
            remembered.push_back(TVolgaValue(f->AsString()));
        }
    }
    if (changeCount_ > 0) SaveChanges();
    ReleaseRecordData();
    visible_.clear();
    current_ = -1;
    LoadData();
    RebindFields();
    keyBuffer_ = cursor_->NewBuffer();
    BuildVisibleList(false);
    NotifySharers();
    if (!remembered.empty()) {
        std::string names;
        for (const std::string& n : uniqueNames) names += (names.empty() ? "" : ";") + n;
        if (!Locate(names, remembered)) First();
    } else {
        First();
    }
}

void TVolgaDataset::ResyncAfterCursorReset() {
    if (!Active()) return;
    if (state_ == TDataSetState::dsEdit || state_ == TDataSetState::dsInsert) {
        editBuffer_ = TVolgaRecordData();
        state_ = TDataSetState::dsBrowse;
        ChangeCountDelta(-1);
    }
    // The records this list pointed at may be gone: never look at them again.
    visible_.clear();
    current_ = -1;
    RebindFields();
    keyBuffer_ = cursor_->NewBuffer();
    BuildVisibleList(false);
}

// ---------------------------------------------------------------------------------------------
// Rows for grids and exports

void TVolgaDataset::RowCalc(int row, CalcArea& area) {
    ComputeCalcFields(&visible_[static_cast<size_t>(row)]->Data, area);
}

template <typename Read>
auto TVolgaDataset::ReadAt(int row, int fieldIndex, Read read) {
    CalcArea area;
    if (fields_[static_cast<size_t>(fieldIndex)]->Calculated()) RowCalc(row, area);
    const TVolgaRecordData* savedRead = readOverride_;
    CalcArea* savedCalc = calcOverride_;
    readOverride_ = &visible_[static_cast<size_t>(row)]->Data;
    calcOverride_ = &area;
    auto result = read(*fields_[static_cast<size_t>(fieldIndex)]);
    readOverride_ = savedRead;
    calcOverride_ = savedCalc;
    return result;
}

TVolgaValue TVolgaDataset::ValueAt(int row, int fieldIndex) {
    if (row < 0 || row >= RecordCount()) return TVolgaValue();
    return ReadAt(row, fieldIndex, [](TVolgaDataField& f) { return f.Value(); });
}

std::string TVolgaDataset::TextAt(int row, int fieldIndex) {
    if (row < 0 || row >= RecordCount()) return std::string();
    return ReadAt(row, fieldIndex, [](TVolgaDataField& f) { return f.AsString(); });
}

std::string TVolgaDataset::DisplayTextAt(int row, int fieldIndex) {
    if (row < 0 || row >= RecordCount()) return std::string();
    return ReadAt(row, fieldIndex, [](TVolgaDataField& f) { return f.DisplayText(); });
}

void TVolgaDataset::ForEachRecord(const std::function<void(int index, int total)>& each) {
    CheckActive();
    const bool anyCalc = calcCount_ > 0;
    const TVolgaRecordData* savedRead = readOverride_;
    CalcArea* savedCalc = calcOverride_;
    CalcArea area;
    const int total = RecordCount();
    try {
        for (int row = 0; row < total; ++row) {
            if (anyCalc) RowCalc(row, area);
            readOverride_ = &visible_[static_cast<size_t>(row)]->Data;
            calcOverride_ = &area;
            each(row, total);
        }
    } catch (...) {
        readOverride_ = savedRead;
        calcOverride_ = savedCalc;
        throw;
    }
    readOverride_ = savedRead;
    calcOverride_ = savedCalc;
}

void TVolgaDataset::ExportToText(const std::string& fileName, char separator) {
    CheckActive();
    PostPendingEdit();
    std::string out;
    // A value goes as it is with the tab, else quoted with inner quotes doubled: `open` starts
    // it and gives where its text begins, `close` ends it.
    const bool quoted = separator != '\t';
    auto open = [&out, quoted]() {
        if (quoted) out += '"';
        return out.size();
    };
    auto close = [&out, quoted](size_t from) {
        if (!quoted) return;
        const size_t q = out.find('"', from);
        if (q != std::string::npos) {
            const std::string tail = out.substr(q);
            out.resize(q);
            for (char c : tail) {
                out += c;
                if (c == '"') out += '"';
            }
        }
        out += '"';
    };
    std::vector<TVolgaDataField*> cols;
    for (const auto& f : fields_)
        if (f->Calculated() || !IsBlobType(f->stored_->DataType)) cols.push_back(f.get());
    for (size_t i = 0; i < cols.size(); ++i) {
        if (i) out += separator;
        const size_t from = open();
        out += cols[i]->Label();
        close(from);
    }
    out += "\r\n";
    ForEachRecord([&](int index, int total) {
        if (index == 0) out.reserve(out.size() + static_cast<size_t>(total) * (cols.size() * 14 + 2));
        for (size_t i = 0; i < cols.size(); ++i) {
            if (i) out += separator;
            const size_t from = open();
            cols[i]->AppendText(out);
            close(from);
        }
        out += "\r\n";
    });
    TVolgaEnv* env = (database_ && database_->Env) ? database_->Env : TVolgaEnv::Default();
    std::string error;
    if (!env->WriteFileAtomic(fileName, out, error))
        throw EVolgaError(VolgaFormat("Cannot create file \"%s\". %s", fileName.c_str(), error.c_str()));
}

void TVolgaDataset::ExportToXML(const std::string& fileName, const std::string& encoding) {
    if (Active()) PostPendingEdit();
    TVolgaXMLConverter converter;
    converter.Dataset = this;
    if (!Name.empty()) converter.Origin = Name;
    converter.Encoding = encoding;
    if (OnCallback) converter.OnCallback = [this](int percent) { OnCallback(*this, percent); };
    converter.Run(fileName);
}
