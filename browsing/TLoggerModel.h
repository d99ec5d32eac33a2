// The logger grid's model: the Calls table of the folder in view, in the logger's columns.
// Main thread only.
#pragma once

#include <vector>

#include "TDatasetModel.h"

class TVolgaDataset;

class TLoggerModel : public TDatasetModel {
    Q_OBJECT
public:
    explicit TLoggerModel(TVolgaDataset* calls, QObject* parent = nullptr);
    // The columns: title, field, width (0: the view's default).
    static std::vector<Column> LoggerColumns();
};
