#include "TLoggerModel.h"

#include "DatabaseTexts.h"

TLoggerModel::TLoggerModel(TVolgaDataset* calls, QObject* parent) : TDatasetModel(parent) {
    SetDataset(calls, LoggerColumns());
}

std::vector<TDatasetModel::Column> TLoggerModel::LoggerColumns() {
    const Qt::Alignment centre = Qt::AlignCenter;
    return {{"Channel", "Channel", 0, centre},
            {"Date", "Date", 0, Qt::AlignLeft | Qt::AlignVCenter, SampleDate()},
            {"Time", "startTime", 0, Qt::AlignLeft | Qt::AlignVCenter, SampleTime()},
            {"Duration", "duration", 55, Qt::AlignLeft | Qt::AlignVCenter, SampleDuration()},
            {"Direction", "callDir", 60},
            {"DTMF digits", "dtmf", 80},
            {"Caller ID", "callerID", 80, Qt::AlignLeft | Qt::AlignVCenter, SampleNumber()},
            {"Memo", "Memo", 80},
            {"Medium label", "MediumLabel", 100, Qt::AlignLeft | Qt::AlignVCenter,
             DatabaseTexts::kMainStorageMedium}};
}
