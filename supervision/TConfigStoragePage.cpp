#include "TConfigStoragePage.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "SupervisionTexts.h"
#include "TLiveSettings.h"
#include "TPieChart.h"

namespace T = SupervisionTexts;

TConfigStoragePage::TConfigStoragePage(TConfigSession& session, QWidget* parent)
    : TConfigPage(session, "tsStorage", parent) {
    edtFolder = Named(new QLineEdit(this), "edtFolder");
    edtFolder->setReadOnly(true);
    edtFolder->setMinimumWidth(300);
    btnFolder = Named(new QPushButton("...", this), "btnFolder");
    speMainStorageCap = Spin("speMainStorageCap", {0, 0, 1});
    lbUsed = Named(new QLabel(this), "lbUsed");
    lbFree = Named(new QLabel(this), "lbFree");
    Chart1 = Named(new TPieChart(this), "Chart1");
    auto* form = new QFormLayout;
    auto* folder = new QHBoxLayout;
    folder->addWidget(edtFolder, 1);
    folder->addWidget(btnFolder);
    form->addRow("Recordings folder", folder);
    form->addRow("Capacity (Mb)", speMainStorageCap);
    form->addRow(lbUsed);
    form->addRow(lbFree);
    auto* l = new QVBoxLayout(this);
    l->addLayout(form);
    l->addWidget(Chart1, 1);
    connect(btnFolder, &QPushButton::clicked, this, &TConfigStoragePage::btnFolderClick);
    connect(speMainStorageCap, &QSpinBox::valueChanged, this, [this] {
        if (!Loading()) speMainStorageCapChange();
    });
}

void TConfigStoragePage::ShowSettings() {
    {
        const TLoading loading(*this);
        edtFolder->setText(session_.Settings().edtFolder);
    }
    ShowCapacity();
}

// The field's range and value as the session has them; no change handler runs.
void TConfigStoragePage::ShowCapacity() {
    {
        const TLoading loading(*this);
        speMainStorageCap->setRange(0, session_.CapacityLimit());
        speMainStorageCap->setValue(session_.Capacity());
    }
    ShowFigures();
}

void TConfigStoragePage::ShowFigures() {
    const int used = session_.UsedMb();
    const int free = session_.FreeMb();
    lbUsed->setText(T::kUsedSpace + QString::number(used) + T::kMbSuffix);
    lbFree->setText(T::kFreeSpace + QString::number(free) + T::kMbSuffix);
    Chart1->Clear();
    Chart1->AddSlice(free, T::kFreeDisk, Qt::green);
    Chart1->AddSlice(used, T::kUsedDisk, Qt::red);
}

void TConfigStoragePage::btnFolderClick() {
    if (!PickFolder) return;
    session_.ChooseSaveFolder(PickFolder(session_.SaveFolderStart()));
    {
        const TLoading loading(*this);
        edtFolder->setText(session_.Settings().edtFolder);
    }
    ShowCapacity();
}

void TConfigStoragePage::speMainStorageCapChange() {
    session_.SetCapacity(speMainStorageCap->value());
    ShowCapacity();
}
