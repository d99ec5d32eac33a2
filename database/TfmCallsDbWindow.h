// The calls database's developer window (opened by Alt+4 with the developer switch): a plain
// window over the database module, with its geometry kept in "fmCallsdb"; and the progress box
// shown while the module sums the used space of a large table. Main thread only.
#pragma once

#include <QWidget>
#include <memory>

class QProgressDialog;
class TIniFile;
class TfmPelmorantDB;

class TfmCallsDbWindow : public QWidget {
    Q_OBJECT
public:
    TfmCallsDbWindow(TfmPelmorantDB& db, TIniFile& ini, QWidget* parent = nullptr);
    ~TfmCallsDbWindow() override;  // writes the window keys

    // The progress of summing the used space: `position` of `total`; -1 closes the box.
    void ShowProgress(int position, int total);
    QProgressDialog* ProgressBox() const { return progress_.get(); }

private:
    TIniFile& ini_;
    std::unique_ptr<QProgressDialog> progress_;
};
