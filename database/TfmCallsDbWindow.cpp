#include "TfmCallsDbWindow.h"

#include <QProgressDialog>
#include <cmath>

#include "DatabaseTexts.h"
#include "TIniFile.h"
#include "TfmPelmorantDB.h"

TfmCallsDbWindow::TfmCallsDbWindow(TfmPelmorantDB& db, TIniFile& ini, QWidget* parent)
    : QWidget(parent, Qt::Window), ini_(ini) {
    setWindowTitle("Calls database");
    setGeometry(ini.ReadInteger("fmCallsdb", "Left", 200), ini.ReadInteger("fmCallsdb", "Top", 120),
                ini.ReadInteger("fmCallsdb", "Width", 400),
                ini.ReadInteger("fmCallsdb", "Height", 300));
    connect(&db, &TfmPelmorantDB::usedSpaceProgress, this, &TfmCallsDbWindow::ShowProgress);
}

TfmCallsDbWindow::~TfmCallsDbWindow() {
    ini_.BeginUpdate();
    ini_.WriteInteger("fmCallsdb", "Top", geometry().top());
    ini_.WriteInteger("fmCallsdb", "Left", geometry().left());
    ini_.WriteInteger("fmCallsdb", "Width", geometry().width());
    ini_.WriteInteger("fmCallsdb", "Height", geometry().height());
    ini_.EndUpdate();
}

void TfmCallsDbWindow::ShowProgress(int position, int total) {
    if (position < 0) {
        progress_.reset();
        return;
    }
    if (!progress_) {
        progress_ =
            std::make_unique<QProgressDialog>(DatabaseTexts::kProgress, QString(), 0, total);
        progress_->setWindowTitle(DatabaseTexts::kLoadingDatabase);
        progress_->setMinimumDuration(0);
    }
    progress_->setValue(position);
    progress_->setLabelText(
        QString("%1 %2%").arg(DatabaseTexts::kProgress).arg(std::lround(100.0 * position / total)));
}
