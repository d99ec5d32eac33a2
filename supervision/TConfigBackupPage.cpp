#include "TConfigBackupPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "SupervisionTexts.h"
#include "TLiveSettings.h"
#include "TVolumeSpace.h"

namespace T = SupervisionTexts;
using L = TLiveSettings;

TConfigBackupPage::TConfigBackupPage(TConfigSession& session, QWidget* parent)
    : TConfigPage(session, "tsBackup", parent) {
    chkRecycleHdd = Named(new QCheckBox(T::kRecycleHdd, this), "chkRecycleHdd");
    speBackupCap = Spin("speBackupCap", TConfigSession::kBackupCapacity);
    edtbackupFolder = Named(new QLineEdit(this), "edtbackupFolder");
    edtbackupFolder->setReadOnly(true);
    btnBackupFolder = Named(new QPushButton("...", this), "btnBackupFolder");
    cbxDrive1 = Named(new QComboBox(this), "cbxDrive1");
    auto* form = new QFormLayout;
    form->addRow(chkRecycleHdd);
    form->addRow("Capacity (Mb)", speBackupCap);
    auto* folder = new QHBoxLayout;
    folder->addWidget(edtbackupFolder, 1);
    folder->addWidget(btnBackupFolder);
    form->addRow("Temporary folder", folder);
    form->addRow("Backup medium", cbxDrive1);
    auto* l = new QVBoxLayout(this);
    l->addLayout(form);
    l->addStretch();

    BindNumber(speBackupCap, &L::speBackupCap);
    connect(cbxDrive1, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (!Loading() && i >= 0) session_.SetNumber(&L::cbxDrive1, i);
    });
    connect(chkRecycleHdd, &QCheckBox::toggled, this, [this] {
        if (!Loading()) chkRecycleHddClick();
    });
    connect(btnBackupFolder, &QPushButton::clicked, this, &TConfigBackupPage::btnBackupFolderClick);
}

void TConfigBackupPage::ShowSettings() {
    const TLiveSettings& s = session_.Settings();
    {
        const TLoading loading(*this);
        chkRecycleHdd->setChecked(s.chkRecycleHdd);
        speBackupCap->setValue(s.speBackupCap);
        edtbackupFolder->setText(s.edtbackupFolder);
        cbxDrive1->clear();
        cbxDrive1->addItems(TVolumeSpace::Instance().Volumes());
        if (s.cbxDrive1 < cbxDrive1->count()) cbxDrive1->setCurrentIndex(s.cbxDrive1);
    }
    chkRecycleHddClick();
}

void TConfigBackupPage::chkRecycleHddClick() {
    session_.SetRecycleHdd(chkRecycleHdd->isChecked());
    speBackupCap->setEnabled(session_.BackupFieldsEnabled());
    btnBackupFolder->setEnabled(session_.BackupFieldsEnabled());
}

void TConfigBackupPage::btnBackupFolderClick() {
    if (!PickFolder) return;
    session_.ChooseBackupFolder(PickFolder(session_.BackupFolderStart()));
    edtbackupFolder->setText(session_.Settings().edtbackupFolder);
}
