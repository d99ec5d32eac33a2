// The search over all calls: runs a statement on the search query (queSearch) and shows the
// result in the search grid's model, or empties it. A statement the query engine rejects is
// shown to the user with the engine's message, and the grid stays empty. Main thread only.
#pragma once

#include <QObject>
#include <QString>
#include <functional>

class TDatasetModel;
class TfmPelmorantDB;

class TCallSearch : public QObject {
    Q_OBJECT
public:
    explicit TCallSearch(TfmPelmorantDB& db, QObject* parent = nullptr);

    // The search grid's model, brought up to date after each change.
    TDatasetModel* Model = nullptr;
    // The file actions' states for the grid's current row.
    std::function<void()> UpdateFileActions;

    // "Search": false when the engine rejected the statement (the message was shown).
    bool Search(const QString& statement);
    // "Clear": the result is closed and the grid empties.
    void Clear();
    const QString& LastError() const { return lastError_; }

signals:
    void resultChanged();

private:
    void Done();

    TfmPelmorantDB& db_;
    QString lastError_;
};
