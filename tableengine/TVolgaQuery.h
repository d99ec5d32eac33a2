// The query the program uses: a TVolgaCustomQuery that may take some of its tables from open
// datasets instead of files, and opens password-protected table files.
#pragma once

#include <string>
#include <vector>

#include "TVolgaCustomQuery.h"

// A dataset a FROM entry may name by its alias instead of a table file.
struct TQueryDataset {
    std::string Alias;
    TVolgaDataset* Dataset = nullptr;
};

class TVolgaQuery : public TVolgaCustomQuery {
public:
    explicit TVolgaQuery(TVolgaDatabase* database = nullptr) : TVolgaCustomQuery(database) {}
    ~TVolgaQuery() override;

    std::vector<TQueryDataset> QueryDatasets;
    std::string Password;

protected:
    TVolgaDataset* QueryDataset(const std::string& alias) const override;
    std::string TablePassword() const override { return Password; }
};
