#include "TSearchModel.h"

TSearchModel::TSearchModel(TVolgaDataset* result, QObject* parent) : TDatasetModel(parent) {
    SetDataset(result, SearchColumns());
}

std::vector<TDatasetModel::Column> TSearchModel::SearchColumns() {
    return {{"Channel", "Channel", 0, Qt::AlignCenter},
            {"Date", "Date", 0},
            {"Time", "startTime", 0},
            {"Duration", "duration", 0},
            {"Direction", "callDir", 0},
            {"Folder", "Folder", 100},
            {"DTMF digits", "dtmf", 80},
            {"Caller ID", "callerID", 80},
            {"Memo", "Memo", 120},
            {"Medium label", "mediumLabel", 150}};
}
