#include "TConfigSecurityPage.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "SupervisionTexts.h"
#include "TLiveSettings.h"

namespace T = SupervisionTexts;
using L = TLiveSettings;
using S = TConfigSession;

TConfigSecurityPage::TConfigSecurityPage(TConfigSession& session, QWidget* parent)
    : TConfigPage(session, "tsSecurity", parent) {
    auto* group = new QGroupBox(T::kPasswordsGroup, this);
    cbxAdminPass = Named(new QCheckBox(T::kAdministrator, group), "cbxAdminPass");
    btnChangeAdm = Named(new QPushButton(T::kChange, group), "btnChangeAdm");
    cbxAccessPass = Named(new QCheckBox(T::kAccess, group), "cbxAccessPass");
    btnChangeAcc = Named(new QPushButton(T::kChange, group), "btnChangeAcc");
    auto* g = new QGridLayout(group);
    g->addWidget(cbxAdminPass, 0, 0);
    g->addWidget(btnChangeAdm, 0, 1);
    g->addWidget(cbxAccessPass, 1, 0);
    g->addWidget(btnChangeAcc, 1, 1);
    chkBackupDb = Named(new QCheckBox(T::kKeepDbCopy, this), "chkBackupDb");
    speBackupdb = Spin("speBackupdb", S::kBackupPeriod);
    auto* db = new QHBoxLayout;
    db->addWidget(chkBackupDb);
    db->addWidget(speBackupdb);
    db->addWidget(new QLabel("days", this));
    db->addStretch();
    auto* l = new QVBoxLayout(this);
    l->addWidget(group);
    l->addLayout(db);
    l->addStretch();

    BindNumber(speBackupdb, &L::speBackupdb);
    // The password boxes follow the user's click only: showing the state must not ask.
    connect(cbxAdminPass, &QCheckBox::clicked, this, &TConfigSecurityPage::cbxAdminPassClick);
    connect(cbxAccessPass, &QCheckBox::clicked, this, &TConfigSecurityPage::cbxAccessPassClick);
    connect(btnChangeAdm, &QPushButton::clicked, this, &TConfigSecurityPage::btnChangeAdmClick);
    connect(btnChangeAcc, &QPushButton::clicked, this, &TConfigSecurityPage::btnChangeAccClick);
    connect(chkBackupDb, &QCheckBox::toggled, this, [this] {
        if (!Loading()) chkBackupDbClick();
    });
}

void TConfigSecurityPage::ShowSettings() {
    {
        const TLoading loading(*this);
        chkBackupDb->setChecked(session_.Settings().chkBackupDb);
        speBackupdb->setValue(session_.Settings().speBackupdb);
    }
    ShowPasswords();
    chkBackupDbClick();
}

void TConfigSecurityPage::ShowPasswords() {
    cbxAdminPass->setChecked(session_.PasswordOn(S::Administrator));
    cbxAccessPass->setChecked(session_.PasswordOn(S::Access));
    btnChangeAdm->setEnabled(session_.ChangeEnabled(S::Administrator));
    btnChangeAcc->setEnabled(session_.ChangeEnabled(S::Access));
}

// The box has already changed state: unchecked now means the user switched it off.
void TConfigSecurityPage::SwitchPassword(TConfigSession::PasswordKind kind) {
    QCheckBox* box = kind == S::Administrator ? cbxAdminPass : cbxAccessPass;
    session_.SetPasswordOn(kind, box->isChecked());
    ShowPasswords();
}

void TConfigSecurityPage::cbxAdminPassClick() {
    SwitchPassword(S::Administrator);
}
void TConfigSecurityPage::cbxAccessPassClick() {
    SwitchPassword(S::Access);
}
void TConfigSecurityPage::btnChangeAdmClick() {
    session_.ChangePassword(S::Administrator);
}
void TConfigSecurityPage::btnChangeAccClick() {
    session_.ChangePassword(S::Access);
}

void TConfigSecurityPage::chkBackupDbClick() {
    session_.SetBackupDb(chkBackupDb->isChecked());
    speBackupdb->setEnabled(session_.BackupPeriodEnabled());
}
