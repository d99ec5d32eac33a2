#include "TLoggerModel.h"

TLoggerModel::TLoggerModel(TVolgaDataset* calls, QObject* parent) : TDatasetModel(parent) {
    SetDataset(calls, LoggerColumns());
}

std::vector<TDatasetModel::Column> TLoggerModel::LoggerColumns() {
    const Qt::Alignment centre = Qt::AlignCenter;
    return {{"Channel", "Channel", 0, centre},
            {"Date", "Date", 0},
            {"Time", "startTime", 0},
            {"Duration", "duration", 55},
            {"Direction", "callDir", 60},
            {"DTMF digits", "dtmf", 80},
            {"Caller ID", "callerID", 80},
            {"Memo", "Memo", 80},
            {"Medium label", "MediumLabel", 100}};
}
