// The in-memory form of one table: field descriptors and record objects, with the loading and
// saving of the table file image.
//
// Threads: not thread-safe. A cursor belongs to the thread of the datasets over it (see
// TVolgaDataset.h); every dataset sharing it (the clones of a table) must live on that thread.
// Only the static image functions (BuildEmptyImage) and a cursor that no dataset uses (the
// table tool, a check of a file) may be used on another thread, by one thread at a time.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "TVolgaField.h"
#include "TVolgaRecord.h"
#include "VolgaTypes.h"

class TVolgaEnv;

// A field definition for a new table (name, declared type, declared length).
struct TVolgaFieldDef {
    std::string Name;
    TFieldType DataType = TFieldType::ftString;
    int Size = 0;
};

class TVolgaCursor {
public:
    using ProgressCallback = std::function<void(int percent)>;
    // Returns false to reject the record (queries use it); it is then not kept. Rejected
    // records still count as read: the load stops after the declared number.
    using LoadHook = std::function<bool(TVolgaCursor&, TVolgaRecord&)>;
    // Sees one record of a walk; `read` records so far (this one included) of `declared`.
    using RecordVisitor =
        std::function<void(const TVolgaRecord&, uint32_t read, uint32_t declared)>;
    // Interactive password prompt: fills the password and returns true, or false on Cancel.
    // `attempt` counts from 1; `lastAttempt` is true for the third.
    using PasswordPrompt = std::function<bool(std::string& password, int attempt)>;

    TVolgaCursor();
    ~TVolgaCursor();
    TVolgaCursor(const TVolgaCursor&) = delete;
    TVolgaCursor& operator=(const TVolgaCursor&) = delete;

    // Image of an empty plain table for the definitions; throws EVolgaError
    // "Error creating table (no field descriptions)" when there are none.
    static std::string BuildEmptyImage(const std::vector<TVolgaFieldDef>& defs);

    // Parses a whole image. On failure `message` holds the reason and the cursor is emptied
    // (unless PartialOpen is set and some records were read: then the records read are kept,
    // true is returned and `message` still holds the reason).
    bool LoadFromImage(std::string_view image, std::string& message);
    // Reads the header and the field descriptions only.
    bool LoadHeader(std::string_view image, std::string& message);
    // Reads a whole image as LoadFromImage does, with the same checks, result and message
    // (PartialOpen included), but builds no records: `recordCount` is the number of records a
    // load would keep without a load hook (OnLoadRecord is not called). The fields stay loaded.
    bool CheckImage(std::string_view image, std::string& message, int& recordCount);
    // Reads a whole image as LoadFromImage does, with the same checks, result and message
    // (PartialOpen included), but keeps no records: `each` sees every record in file order, one
    // object refilled for each. The fields stay loaded. For a table that is only read out once:
    // its records never all take memory together.
    bool StreamImage(std::string_view image, std::string& message, const RecordVisitor& each);

    // Appends the complete image of the table to `out`; returns its length.
    size_t BuildImage(std::string& out);
    // Estimated image size (exact for plain tables).
    size_t EstimatedImageSize() const;

    // Writes the image to `fileName` (options: savAutoBackup, savSortOnIndex). The file is
    // replaced atomically. Throws EVolgaError with the system's file error on failure.
    void SaveToFile(const std::string& fileName, TVolgaSaveOptions options, bool caseInsensitive,
                    const std::string& indexFieldNames);

    // Exchanges the whole contents (fields, records, state) with another cursor.
    void Swap(TVolgaCursor& other);
    // Releases fields and records.
    void Clear();
    // Releases the records only (the fields stay).
    void ClearRecords();

    // Fields.
    int FieldCount() const { return static_cast<int>(fields_.size()); }
    TVolgaField* Field(int index) { return fields_[index].get(); }
    const TVolgaField* Field(int index) const { return fields_[index].get(); }
    TVolgaField* FieldByName(std::string_view name) const;  // ignoring case; nullptr if none
    // Descriptors for a ";"-separated list; unknown names and BLOB-family fields are skipped.
    std::vector<TVolgaField*> FieldList(std::string_view names) const;
    size_t RecordSize() const { return recordSize_; }
    size_t VarCount() const { return varCount_; }
    const std::string& FieldDescriptionText() const { return sectionText_; }

    // Records in physical order (every status).
    int RecordCount() const { return static_cast<int>(records_.size()); }
    TVolgaRecord* Record(int index) { return records_[index].get(); }
    const std::vector<std::unique_ptr<TVolgaRecord>>& Records() const { return records_; }
    // A zero-filled buffer shaped for this table.
    TVolgaRecordData NewBuffer() const;

    // Posting. With `existing` null a new record is appended as rsInserted (the AutoInc field
    // gets the next value) and returned; otherwise the buffer is copied into `existing`.
    // Returns null and sets `message` when the record is not in the list or deleted.
    TVolgaRecord* PostRecord(const TVolgaRecordData& source, TVolgaRecord* existing,
                             std::string& message);
    bool DeleteRecord(TVolgaRecord* record, std::string& message);
    // Takes the record's backup copy unless it has one.
    void BackupRecord(TVolgaRecord* record);
    void RestoreRecord(TVolgaRecord* record);
    void UndoAllChanges();
    void CommitAllChanges();
    // Recomputes the stored size of a record from its values.
    int32_t ComputeStoredSize(const TVolgaRecordData& data) const;
    // Sorts the record list by the named fields.
    void SortRecords(const std::string& indexFieldNames, bool caseInsensitive);

    // Table state.
    std::string Notes;
    std::string Password;
    uint8_t PasswordBlock[40] = {};
    bool PartialOpen = false;
    ProgressCallback OnProgress;
    LoadHook OnLoadRecord;
    PasswordPrompt OnPasswordPrompt;
    TVolgaEnv* Env = nullptr;  // file access; the default environment when null

    TVolgaField* AutoIncField() const { return autoIncField_; }
    int32_t LastAutoInc() const { return lastAutoInc_; }

private:
    enum class LoadMode { Header, Records, Check, Stream };
    bool LoadInternal(std::string_view image, std::string& message, LoadMode mode,
                      uint32_t* checked, const RecordVisitor* each = nullptr);
    bool ParseSection(std::string_view section, uint32_t fieldCount);
    void Layout();
    bool FindPassword(std::string& dataKey);
    void AddField(std::unique_ptr<TVolgaField> f);

    std::vector<std::unique_ptr<TVolgaField>> fields_;
    std::vector<std::unique_ptr<TVolgaRecord>> records_;
    std::string sectionText_;
    size_t recordSize_ = 0;
    size_t varCount_ = 0;
    TVolgaField* autoIncField_ = nullptr;
    int32_t lastAutoInc_ = 0;
};
