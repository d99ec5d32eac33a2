// The Security page: the administrator and access passwords (a check going on asks for the
// new password first; Change asks again) and the periodic copy of the database files.
#pragma once

#include "TConfigPage.h"

class QCheckBox;
class QPushButton;
class QSpinBox;

class TConfigSecurityPage : public TConfigPage {
    Q_OBJECT
public:
    explicit TConfigSecurityPage(TConfigSession& session, QWidget* parent = nullptr);

    void ShowSettings() override;

    void cbxAdminPassClick();
    void cbxAccessPassClick();
    void btnChangeAdmClick();
    void btnChangeAccClick();
    void chkBackupDbClick();

    QCheckBox *cbxAdminPass, *cbxAccessPass;
    QPushButton *btnChangeAdm, *btnChangeAcc;
    QCheckBox* chkBackupDb;
    QSpinBox* speBackupdb;

private:
    void SwitchPassword(TConfigSession::PasswordKind kind);
    void ShowPasswords();
};
