// A dataset over a cursor: the visible records in display order, a current record, typed field
// objects, an edit buffer, filters, ordering, locating, bookmarks and saving.
//
// Threads: nothing here is thread-safe and nothing takes a lock. A dataset, its cursor, its
// fields and every dataset that shares the cursor (the clones of a table, a query's origin)
// belong to one thread, the one that opened them; in the program that is the main thread,
// where the grid models read them too. No member may be called from any other thread, not even
// a reader such as RecordCount or TextAt: another thread's Post or save can free the record
// objects a read walks. Worker threads reach a table only through record steps that the owner
// thread does for them (TTableSteps in the calls database layer).
//
// What a clone shares: the cursor (field descriptions and record objects) of its source; each
// clone keeps its own visible list, current record, filter and edit buffer. Saving a clone
// writes the source's file and rebuilds the source's visible list. Records posted or deleted
// through the source or another clone reach a clone's visible list only when it is rebuilt
// (Rebuild, Refresh, or a save through a sharer), so a clone must be rebuilt before each walk
// step that follows changes made elsewhere.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "TVolgaCursor.h"
#include "TVolgaDataField.h"
#include "TVolgaFilter.h"
#include "TVolgaValue.h"
#include "VolgaTypes.h"

class TVolgaDatabase;

enum class TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert, dsSetKey, dsCalcFields, dsFilter };

enum TLocateOption : unsigned { loCaseInsensitive = 1u << 0, loPartialKey = 1u << 1 };
using TLocateOptions = unsigned;

// Identity of a record object; valid while that record is visible.
using TVolgaBookmark = const TVolgaRecord*;

class TVolgaDataset {
public:
    using Event = std::function<void(TVolgaDataset&)>;

    explicit TVolgaDataset(TVolgaDatabase* database = nullptr);
    virtual ~TVolgaDataset();
    TVolgaDataset(const TVolgaDataset&) = delete;
    TVolgaDataset& operator=(const TVolgaDataset&) = delete;

    // Name used in error messages and as the origin of fields.
    std::string Name;

    // Properties.
    TVolgaDatabase* Database() const { return database_; }
    void SetDatabase(TVolgaDatabase* db);  // closes the dataset
    const std::string& IndexFieldNames() const { return indexFieldNames_; }
    void SetIndexFieldNames(const std::string& names);
    TVolgaSortOptions SortOptions() const { return sortOptions_; }
    void SetSortOptions(TVolgaSortOptions options);
    std::string UniqueFieldNames;
    bool CheckKeyViolation = false;  // refuse posts that repeat a UniqueFieldNames key
    std::string RangeFieldNames;
    // Master-detail link: while the master is open, this dataset shows the records whose
    // RangeFieldNames equal the master's MasterFields values. Raises "Circular data link"
    // when the link would loop.
    TVolgaDataset* MasterSource() const { return master_; }
    void SetMasterSource(TVolgaDataset* master);
    std::string MasterFields;
    bool ReadOnly = false;
    TVolgaSaveOptions SaveOptions = 0;
    bool PartialOpen = false;
    std::string Notes;
    static const char* Version() { return "VolgaDB Engine v5.10"; }
    const std::string& Filter() const { return filter_.Text(); }
    void SetFilter(const std::string& text);  // parsed at once; syntax errors raised here
    bool Filtered() const { return filtered_; }
    void SetFiltered(bool on);
    bool AutoCalcFields = true;

    // Events.
    Event BeforeOpen, AfterOpen, BeforeClose, AfterClose, BeforeInsert, AfterInsert, BeforeEdit,
        AfterEdit, BeforePost, AfterPost, BeforeCancel, AfterCancel, BeforeDelete, AfterDelete,
        BeforeScroll, AfterScroll, OnCalcFields, OnNewRecord, OnNeedToSaveChange;
    std::function<void(TVolgaDataset&, bool& accept)> OnFilterRecord;
    std::function<void(TVolgaDataset&, int percent)> OnCallback;
    std::function<void(TVolgaDataset&, void* userData)> OnDestroyRecordData;
    // Shown to the user when a partial open kept what it could read.
    std::function<void(const std::string& message)> OnShowMessage;

    // Persistent fields, declared before opening. With data fields declared, only those stored
    // fields are bound; calculated and lookup fields are added to the stored ones.
    TVolgaDataField& AddDataField(const std::string& name);
    TVolgaDataField& AddCalcField(const std::string& name, TFieldType type, int size = 0);
    TVolgaDataField& AddLookupField(const std::string& name, TFieldType type, int size,
                                    const std::string& keyFields, TVolgaDataset* lookupDataSet,
                                    const std::string& lookupKeyFields,
                                    const std::string& lookupResultField);

    // Opening and closing.
    void Open();
    void Close();
    bool Active() const { return state_ != TDataSetState::dsInactive; }
    void SetActive(bool on) { on ? Open() : Close(); }
    TDataSetState State() const { return state_; }
    int LastOpenMs() const { return lastOpenMs_; }

    // Fields.
    int FieldCount() const { return static_cast<int>(fields_.size()); }
    TVolgaDataField& Field(int index) { return *fields_[index]; }
    TVolgaDataField* FindField(const std::string& name) const;
    TVolgaDataField& FieldByName(const std::string& name) const;  // "Field '%s' not found"

    // Navigation.
    void First();
    void Last();
    void Next();
    void Prior();
    bool Eof() const { return eof_; }
    bool Bof() const { return bof_; }
    int RecordCount() const { return static_cast<int>(visible_.size()); }
    bool IsEmpty() const { return visible_.empty(); }
    int RecNo() const;  // 1-based; 0 when there is no current record
    void SetRecNo(int recNo);

    // Editing.
    void Edit();
    void Insert();
    void Append();
    void Post();
    void Cancel();
    void Delete();
    int ChangeCount() const { return changeCount_; }

    // Locating.
    bool Locate(const std::string& fieldNames, const std::vector<TVolgaValue>& values,
                TLocateOptions options = 0);
    bool Locate(const std::string& fieldName, const TVolgaValue& value, TLocateOptions options = 0) {
        return Locate(fieldName, std::vector<TVolgaValue>{value}, options);
    }
    // Values of the result fields of the record found, or an empty vector when none is.
    std::vector<TVolgaValue> Lookup(const std::string& fieldNames,
                                    const std::vector<TVolgaValue>& values,
                                    const std::string& resultFields);

    // Bookmarks.
    TVolgaBookmark GetBookmark() const;
    void GotoBookmark(TVolgaBookmark b);
    bool BookmarkValid(TVolgaBookmark b) const;
    int CompareBookmarks(TVolgaBookmark a, TVolgaBookmark b) const;

    // Ranges over RangeFieldNames (start <= key <= end).
    void SetRange(const std::vector<TVolgaValue>& start, const std::vector<TVolgaValue>& end);
    void CancelRange();

    // Saving and undoing.
    void SaveChanges();
    void SaveIfModified();
    void SaveToFile(const std::string& fileName);
    void CancelChanges();
    void CommitChanges();
    void EmptyTable();
    void Refresh();
    // Writes the visible records as text lines ending in CR LF (labels first).
    void ExportToText(const std::string& fileName, char separator);
    // Calls `each(index, total)` once for every record an export writes, in order, with every
    // field read going to that record (calculated fields computed); the current record does not
    // move. `total` is the number of records, known before the first call.
    virtual void ForEachRecord(const std::function<void(int index, int total)>& each);
    // Writes the dataset as an XML rowset document (TVolgaXMLConverter) with the dataset's name
    // as the base table and OnCallback as progress.
    void ExportToXML(const std::string& fileName, const std::string& encoding);

    // Access for grids: the record shown in a visible row (0-based) and a field's value there,
    // calculated fields computed; the current record does not move.
    TVolgaRecord* VisibleRecord(int row) const { return visible_[static_cast<size_t>(row)]; }
    TVolgaValue ValueAt(int row, int fieldIndex);
    std::string TextAt(int row, int fieldIndex);         // AsString form
    std::string DisplayTextAt(int row, int fieldIndex);  // display form
    TVolgaRecord* CurrentRecord() const;

    // Makes the text the "UNICOD" default gives a new string field (the program's identifier
    // generator); empty when not installed.
    static std::function<std::string()> UniqueIdGenerator;
    // Clock for the "TODAY" and "NOW" defaults (local time); the system clock when not set.
    static std::function<TDateTime()> Now;

    // The cursor (shared with the source for a clone).
    TVolgaCursor* Cursor() const { return cursor_; }
    const TVolgaFormatSettings& FormatSettings() const;
    // Rebuilds the visible list (after filter, order, range or undo changes).
    void Rebuild();

protected:
    // Fills the cursor by the load mode; raises EVolgaError on failure.
    virtual void LoadData() = 0;
    // Called after a close released the dataset's own state.
    virtual void ReleaseData() {}
    // Saving hook for SaveIfModified (tables write their file).
    virtual void SaveModified() {}
    // Tells the other datasets sharing this cursor (a clone's source and clones) that its
    // records were replaced or released.
    virtual void NotifySharers() {}
    // Rebuilds the visible list from scratch after the shared records changed under it.
    void ResyncAfterCursorReset();
    std::string FullErrorPrefix() const;
    void SetCursor(TVolgaCursor* cursor, bool owned);
    [[noreturn]] void Error(const std::string& message) const;
    void RaiseNeedToSave();
    void ChangeCountDelta(int delta);
    void ResetChangeCount();
    void NotifyCallback(int percent);

    TVolgaCursor* cursor_ = nullptr;
    std::unique_ptr<TVolgaCursor> ownedCursor_;

private:
    friend class TVolgaDataField;
    friend class TVolgaTable;
    friend class TVolgaDatabase;
    struct CalcArea {
        std::vector<TVolgaValue> Values;
    };

    void BindFields();
    void RebindFields();
    void BuildVisibleList(bool keepPosition);
    bool RecordPassesFilter(TVolgaRecord* rec);
    bool InRange(const TVolgaRecord* rec) const;
    void CheckActive() const;
    void CheckBrowseForWrite() const;
    void PostPendingEdit();
    void SetCurrent(int index);
    void Scrolled();
    void ComputeCalcFields(const TVolgaRecordData* data, CalcArea& area);
    void ApplyDefaults();
    bool CheckKey(const TVolgaRecordData& buffer, const TVolgaRecord* self) const;
    int FindSortedPosition(const TVolgaRecordData& key, const std::vector<TVolgaField*>& keys,
                           bool leftmost) const;
    std::vector<TVolgaField*> KeyFieldsFor(const std::string& names, bool forLocate) const;
    void ReleaseRecordData();
    void CheckFieldWrite(const TVolgaDataField& field) const;
    void FieldChanged() {}
    void FindKey(const std::vector<TVolgaField*>& keys, int& index);
    std::vector<TVolgaField*> PrepareKeyBuffer(const std::string& fieldNames,
                                               const std::vector<TVolgaValue>& values,
                                               bool& emptyValue);
    void RowCalc(int row, CalcArea& area);
    // Reads a field of a visible row through `read`, calculated fields computed.
    template <typename Read>
    auto ReadAt(int row, int fieldIndex, Read read);
    void DropBufferOf(TVolgaRecord* rec);

    // Where field reads and writes go.
    TVolgaRecordData* ActiveData() const;
    CalcArea* ActiveCalc() const;

    TVolgaDatabase* database_ = nullptr;
    TDataSetState state_ = TDataSetState::dsInactive;
    std::string indexFieldNames_;
    TVolgaSortOptions sortOptions_ = 0;
    TVolgaFilter filter_;
    bool filtered_ = false;
    std::vector<std::unique_ptr<TVolgaDataField>> fields_;
    std::vector<std::unique_ptr<TVolgaDataField>> persistent_;
    bool hasPersistentData_ = false;
    int calcCount_ = 0;
    std::vector<TVolgaRecord*> visible_;
    int current_ = -1;
    bool eof_ = true, bof_ = true;
    bool sorted_ = false;
    int changeCount_ = 0;
    int lastOpenMs_ = 0;

    // Buffers.
    TVolgaRecordData editBuffer_;
    CalcArea editCalc_;
    CalcArea currentCalc_;
    TVolgaRecordData keyBuffer_;
    const TVolgaRecordData* readOverride_ = nullptr;  // filter / calc-fields source
    CalcArea* calcOverride_ = nullptr;
    TDataSetState savedState_ = TDataSetState::dsInactive;

    // Master-detail.
    void ApplyMasterLink();
    void NotifyDetails();
    TVolgaDataset* master_ = nullptr;
    std::vector<TVolgaDataset*> details_;

    // Range.
    bool rangeActive_ = false;
    TVolgaRecordData rangeStart_, rangeEnd_;
    std::vector<TVolgaField*> rangeKeys_;
    std::vector<int> rangeStartCount_, rangeEndCount_;
};
