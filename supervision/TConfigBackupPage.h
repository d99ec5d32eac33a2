// The Medium management page: recycling or backing up recordings when the storage is full,
// the backup capacity and temporary folder, and the backup medium.
#pragma once

#include "TConfigPage.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

class TConfigBackupPage : public TConfigPage {
    Q_OBJECT
public:
    explicit TConfigBackupPage(TConfigSession& session, QWidget* parent = nullptr);

    void ShowSettings() override;

    TPicker PickFolder;  // unset: the folder button does nothing

    void chkRecycleHddClick();
    void btnBackupFolderClick();

    QCheckBox* chkRecycleHdd;
    QSpinBox* speBackupCap;
    QLineEdit* edtbackupFolder;
    QPushButton* btnBackupFolder;
    QComboBox* cbxDrive1;
};
