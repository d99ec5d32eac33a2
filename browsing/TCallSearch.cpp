#include "TCallSearch.h"

#include <exception>

#include "TDatasetModel.h"
#include "TMessages.h"
#include "TfmPelmorantDB.h"

TCallSearch::TCallSearch(TfmPelmorantDB& db, QObject* parent) : QObject(parent), db_(db) {}

bool TCallSearch::Search(const QString& statement) {
    lastError_.clear();
    if (Model) Model->BeginUpdate();
    try {
        db_.queSearch.Close();
        db_.queSearch.SetSQL(statement.toStdString());
        db_.queSearch.Open();
    } catch (const std::exception& e) {
        lastError_ = QString::fromUtf8(e.what());
        try {
            db_.queSearch.Close();
        } catch (...) {
        }
    }
    if (Model) Model->EndUpdate();
    Done();
    if (!lastError_.isEmpty()) ShowMessage(lastError_);
    return lastError_.isEmpty();
}

void TCallSearch::Clear() {
    lastError_.clear();
    if (Model) Model->BeginUpdate();
    try {
        db_.queSearch.Close();
    } catch (const std::exception& e) {
        lastError_ = QString::fromUtf8(e.what());
    }
    if (Model) Model->EndUpdate();
    Done();
}

void TCallSearch::Done() {
    if (UpdateFileActions) UpdateFileActions();
    emit resultChanged();
}
