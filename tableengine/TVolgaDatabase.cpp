#include "TVolgaDatabase.h"

#include <algorithm>

#include "TVolgaDataset.h"

TVolgaDatabase::TVolgaDatabase() : FormatSettings(TVolgaFormatSettings::Iso()) {}

TVolgaDatabase::~TVolgaDatabase() {
    // Clones first, so that their sources can close.
    for (int pass = 0; pass < 2 && !open_.empty(); ++pass) {
        std::vector<TVolgaDataset*> open = open_;
        for (auto it = open.rbegin(); it != open.rend(); ++it) {
            try {
                (*it)->Close();
            } catch (...) {
            }
        }
    }
    for (TVolgaDataset* ds : attached_) ds->database_ = nullptr;
}

void TVolgaDatabase::SetDatabasePath(const std::string& path) {
    path_ = path;
    if (!path_.empty() && path_.back() != '/') path_ += '/';
}

void TVolgaDatabase::Attach(TVolgaDataset* ds) {
    if (std::find(attached_.begin(), attached_.end(), ds) == attached_.end())
        attached_.push_back(ds);
}

void TVolgaDatabase::Detach(TVolgaDataset* ds) {
    std::erase(attached_, ds);
    std::erase(open_, ds);
    std::erase(changed_, ds);
}

void TVolgaDatabase::RegisterOpen(TVolgaDataset* ds, bool open) {
    std::erase(open_, ds);
    if (open) open_.push_back(ds);
}

void TVolgaDatabase::RegisterChanged(TVolgaDataset* ds, bool changed) {
    std::erase(changed_, ds);
    if (changed) changed_.push_back(ds);
}
