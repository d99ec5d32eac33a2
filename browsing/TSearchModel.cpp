#include "TSearchModel.h"

#include "DatabaseTexts.h"

TSearchModel::TSearchModel(TVolgaDataset* result, QObject* parent) : TDatasetModel(parent) {
    SetDataset(result, SearchColumns());
}

std::vector<TDatasetModel::Column> TSearchModel::SearchColumns() {
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    return {{"Channel", "Channel", 0, Qt::AlignCenter},
            {"Date", "Date", 0, left, SampleDate()},
            {"Time", "startTime", 0, left, SampleTime()},
            {"Duration", "duration", 0, left, SampleDuration()},
            {"Direction", "callDir", 0},
            {"Folder", "Folder", 100},
            {"DTMF digits", "dtmf", 80},
            {"Caller ID", "callerID", 80, left, SampleNumber()},
            {"Memo", "Memo", 120},
            {"Medium label", "mediumLabel", 150, left, DatabaseTexts::kMainStorageMedium}};
}
