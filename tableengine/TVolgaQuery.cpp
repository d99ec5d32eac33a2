#include "TVolgaQuery.h"

#include "VolgaText.h"

TVolgaQuery::~TVolgaQuery() {
    // Close while the overrides above still answer.
    try {
        Close();
    } catch (...) {
    }
}

TVolgaDataset* TVolgaQuery::QueryDataset(const std::string& alias) const {
    for (const TQueryDataset& d : QueryDatasets)
        if (d.Dataset && VolgaSameTextCI(d.Alias, alias)) return d.Dataset;
    return nullptr;
}
