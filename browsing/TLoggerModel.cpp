#include "TLoggerModel.h"

#include <QTableView>

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

void TLoggerModel::Attach(QTableView* view) {
    view->setModel(this);
    const std::vector<Column> columns = LoggerColumns();
    for (size_t i = 0; i < columns.size(); ++i)
        if (columns[i].Width > 0) view->setColumnWidth(static_cast<int>(i), columns[i].Width);
}
