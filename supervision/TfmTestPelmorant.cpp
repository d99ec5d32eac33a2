#include "TfmTestPelmorant.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

#include "SupervisionTexts.h"
#include "TTestSimulation.h"

TfmTestPelmorant::TfmTestPelmorant(TChannelTable& channels, QWidget* parent)
    : QDialog(parent), simulation_(new TTestSimulation(channels, this)) {
    setObjectName("fmTestPelmorant");
    setWindowTitle(SupervisionTexts::kTestsCaption);
    setModal(false);
    auto* grid = new QGridLayout(this);
    btnStartTest = new QPushButton(SupervisionTexts::kStartSimulation, this);
    btnStartTest->setObjectName("btnStartTest");
    btnStopTest = new QPushButton(SupervisionTexts::kStopSimulation, this);
    btnStopTest->setObjectName("btnStopTest");
    spnTimer = new QSpinBox(this);
    spnTimer->setObjectName("spnTimer");
    spnTimer->setRange(1, 50);
    spnTimer->setValue(3);
    spnTimer->setAccessibleName("Interval");
    auto* timerRow = new QHBoxLayout;
    timerRow->addWidget(btnStartTest);
    timerRow->addWidget(btnStopTest);
    timerRow->addWidget(spnTimer);
    timerRow->addWidget(new QLabel(SupervisionTexts::kSeconds, this));
    grid->addLayout(timerRow, 0, 0, 1, 2);
    QPushButton** buttons[] = {&btn1, &btn2, &btn3};
    const char* const labels[] = {SupervisionTexts::kTestRecycle, SupervisionTexts::kTestBackup,
                                  SupervisionTexts::kTestResetLabels};
    for (int i = 0; i < 3; ++i) {
        auto* label = new QLabel(labels[i], this);
        auto* ok = new QPushButton(SupervisionTexts::kTestOk, this);
        ok->setObjectName(QString("btn%1").arg(i + 1));
        ok->setAccessibleName(labels[i]);
        *buttons[i] = ok;
        grid->addWidget(label, i + 1, 0);
        grid->addWidget(ok, i + 1, 1);
    }
    connect(btnStartTest, &QPushButton::clicked, this, &TfmTestPelmorant::btnStartTestClick);
    connect(btnStopTest, &QPushButton::clicked, this, &TfmTestPelmorant::btnStopTestClick);
    connect(spnTimer, &QSpinBox::valueChanged, simulation_, &TTestSimulation::SetIntervalSeconds);
    connect(btn1, &QPushButton::clicked, this, [this] {
        if (RecycleRun) RecycleRun();
    });
    connect(btn2, &QPushButton::clicked, this, [this] {
        if (BackupRun) BackupRun();
    });
    connect(btn3, &QPushButton::clicked, this, [this] {
        if (ResetMediumLabels) ResetMediumLabels();
    });
    btnStopTestClick();  // at creation: stopped
}

void TfmTestPelmorant::btnStartTestClick() {
    simulation_->SetIntervalSeconds(spnTimer->value());
    simulation_->Start();
    btnStartTest->setEnabled(false);
    btnStopTest->setEnabled(true);
}

void TfmTestPelmorant::btnStopTestClick() {
    btnStartTest->setEnabled(true);
    btnStopTest->setEnabled(false);
    simulation_->Stop();
}
