// The search grid's model: the search result (the query queSearch) in the search grid's columns,
// with the folder's name from the Folder lookup. Main thread only.
#pragma once

#include <vector>

#include "TDatasetModel.h"

class TSearchModel : public TDatasetModel {
    Q_OBJECT
public:
    explicit TSearchModel(TVolgaDataset* result, QObject* parent = nullptr);
    // The columns: title, field, width (0: the view's default).
    static std::vector<Column> SearchColumns();
};
