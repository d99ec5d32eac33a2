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

protected:
    void LoadData() override;
    void ReleaseData() override;
    void SaveModified() override;
    void NotifySharers() override;

private:
    friend class TVolgaDataset;
    std::string tableName_;
    TVolgaLoadMode loadMode_ = TVolgaLoadMode::lmClear;
    TVolgaTable* cloneSource_ = nullptr;
    std::vector<TVolgaTable*> clones_;
    std::string password_;
};
