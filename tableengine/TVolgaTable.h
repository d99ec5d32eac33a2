// A dataset over one table file (or an empty table built from field definitions, a clone of
// another table, or an image handed in as a stream). Threads and clones: see TVolgaDataset.h.
#pragma once

#include <string>
#include <vector>

#include "TVolgaDataset.h"

class TVolgaTable : public TVolgaDataset {
public:
    explicit TVolgaTable(TVolgaDatabase* database = nullptr);
    ~TVolgaTable() override;

    const std::string& TableName() const { return tableName_; }
    void SetTableName(const std::string& name);  // sets lmFile (lmClear when empty); closes
    TVolgaLoadMode LoadMode() const { return loadMode_; }
    void SetLoadMode(TVolgaLoadMode mode);  // closes
    TVolgaTable* CloneDS() const { return cloneSource_; }
    void SetCloneDS(TVolgaTable* source);  // sets lmClone (lmClear when null)
    std::vector<TVolgaFieldDef> FieldDefs;
    bool StoreDefs = false;
    const std::string& Password() const { return password_; }
    void SetPassword(const std::string& password);
    // The image loaded in lmStream mode.
    const std::string* LoadStream = nullptr;
    // Password prompt for protected files (the application's own handler).
    TVolgaCursor::PasswordPrompt OnPassword;

    // The table's file: DatabasePath + TableName, or TableName itself when it holds a folder
    // or there is no database.
    std::string FileName() const;
    // Creates the table file from FieldDefs when it does not exist, as the program does for a
    // missing table: lmClear, open, SaveToFile, then lmFile and open again.
    void CreateTable();

    // Write the table file as Open, ExportToText or ExportToXML, and Close would. A table over a
    // file whose visible records are its records in file order (no calculated fields, filter,
    // index order, master link or auto-increment field) is read one record at a time as it is
    // written out: its records never all take memory together. Any other table is opened in
    // full. The table must be closed, and is closed again afterwards, also on an error.
    void ExportFileToText(const std::string& fileName, char separator);
    void ExportFileToXML(const std::string& fileName, const std::string& encoding);

    // While a file is exported one record at a time, the records come from the file.
    void ForEachRecord(const std::function<void(int index, int total)>& each) override;

protected:
    void LoadData() override;
    void ReleaseData() override;
    void SaveModified() override;
    void NotifySharers() override;

private:
    friend class TVolgaDataset;
    template <class Write>
    void ExportFile(const Write& write);
    void PrepareCursor(TVolgaCursor& cursor);
    std::string tableName_;
    TVolgaLoadMode loadMode_ = TVolgaLoadMode::lmClear;
    TVolgaTable* cloneSource_ = nullptr;
    std::vector<TVolgaTable*> clones_;
    std::string password_;
    bool headerOnly_ = false;  // the next file load reads the field descriptions only
    bool streaming_ = false;   // an export reads the records from the file as it goes
};
