// The Storage page: the recordings folder, the storage capacity, and the used and free
// space in figures and as a pie.
#pragma once

#include "TConfigPage.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class TPieChart;

class TConfigStoragePage : public TConfigPage {
    Q_OBJECT
public:
    explicit TConfigStoragePage(TConfigSession& session, QWidget* parent = nullptr);

    void ShowSettings() override;

    TPicker PickFolder;  // unset: the folder button does nothing

    void btnFolderClick();
    void speMainStorageCapChange();

    QLineEdit* edtFolder;
    QPushButton* btnFolder;
    QSpinBox* speMainStorageCap;
    QLabel *lbUsed, *lbFree;
    TPieChart* Chart1;

private:
    void ShowCapacity();
    void ShowFigures();
};
