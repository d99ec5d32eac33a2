// The database object: the folder of the table files and the datasets attached to it.
#pragma once

#include <string>
#include <vector>

#include "TVolgaFormatSettings.h"

class TVolgaDataset;
class TVolgaEnv;

class TVolgaDatabase {
public:
    TVolgaDatabase();
    ~TVolgaDatabase();  // closes every open dataset
    TVolgaDatabase(const TVolgaDatabase&) = delete;
    TVolgaDatabase& operator=(const TVolgaDatabase&) = delete;

    const std::string& DatabasePath() const { return path_; }
    void SetDatabasePath(const std::string& path);  // a non-empty path gets a trailing "/"
    std::string DateFormat = "mm/dd/yyyy";
    TVolgaFormatSettings FormatSettings;
    TVolgaEnv* Env = nullptr;  // file access; the default environment when null

    const std::vector<TVolgaDataset*>& OpenDatasets() const { return open_; }
    const std::vector<TVolgaDataset*>& ChangedDatasets() const { return changed_; }

private:
    friend class TVolgaDataset;
    void Attach(TVolgaDataset* ds);
    void Detach(TVolgaDataset* ds);
    void RegisterOpen(TVolgaDataset* ds, bool open);
    void RegisterChanged(TVolgaDataset* ds, bool changed);

    std::string path_;
    std::vector<TVolgaDataset*> attached_;
    std::vector<TVolgaDataset*> open_;
    std::vector<TVolgaDataset*> changed_;
};
