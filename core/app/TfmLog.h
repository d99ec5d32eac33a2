// The "Events" window: the event log's lines in a read-only text box, with Clear.
#pragma once

#include <QWidget>

class QPlainTextEdit;
class QPushButton;
class TEventLog;
class TIniFile;

class TfmLog : public QWidget {
    Q_OBJECT
public:
    // Reads its geometry, loads the log file into the store and logs "New session...".
    TfmLog(TEventLog* log, TIniFile* settings, const QString& logFileName,
           QWidget* parent = nullptr);
    ~TfmLog() override;  // writes the geometry

    QPlainTextEdit* Memo1() const { return memo_; }
    QPushButton* btnClear() const { return clear_; }

private:
    void Reload();
    TEventLog* log_;
    TIniFile* settings_;
    QPlainTextEdit* memo_;
    QPushButton* clear_;
};
