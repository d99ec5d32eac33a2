#include "TConfigChannelsPage.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "SupervisionTexts.h"
#include "TLedImage.h"
#include "TMessages.h"
#include "TPictures.h"
#include "TSpinEdit.h"

namespace T = SupervisionTexts;
using S = TConfigSession;

template <class Sender, class Signal, class Apply>
void TConfigChannelsPage::Live(Sender* sender, Signal signal, Apply apply) {
    connect(sender, signal, this, [this, apply] {
        if (!Loading()) apply();
    });
}

TConfigChannelsPage::TConfigChannelsPage(TConfigSession& session, QWidget* parent)
    : TConfigPage(session, "tsChannels", parent) {
    lbxChannels = Named(new QListWidget(this), "lbxChannels");
    lbxChannels->setFixedWidth(110);
    lbChannelType = Named(new QLabel(this), "lbChannelType");
    edtTag = Named(new QLineEdit(this), "edtTag");
    edtTag->setMaxLength(TConfigStore::kTagLength);
    btnStart = Named(new QPushButton("Start", this), "btnStart");
    btnStop = Named(new QPushButton("Stop", this), "btnStop");
    Led1 = Named(new TLedImage(this), "Led1");
    rbVox = Named(new QRadioButton("Vox", this), "rbVox");
    rbVoltage = Named(new QRadioButton("Voltage", this), "rbVoltage");
    rbOndemand = Named(new QRadioButton("On demand", this), "rbOndemand");
    spnLevelOn = Spin("spnLevelOn", S::kLevelOn);
    spnRunOn = SpinEdit("spnRunOn", S::kRunOn);
    spnRecGain = SpinEdit("spnRecGain", S::kGain);
    spnPlayGain = SpinEdit("spnPlayGain", S::kGain);
    spnDtrmVol = Spin("spnDtrmVol", S::kDtrmVoltage);
    cbxAgc = Named(new QCheckBox("Automatic gain control", this), "cbxAgc");

    auto* trigger = new QGroupBox("Trigger", this);
    auto* tl = new QVBoxLayout(trigger);
    tl->addWidget(rbVox);
    tl->addWidget(rbVoltage);
    tl->addWidget(rbOndemand);
    auto* form = new QFormLayout;
    form->addRow("Type", lbChannelType);
    form->addRow("Tag", edtTag);
    auto* op = new QHBoxLayout;
    op->addWidget(btnStart);
    op->addWidget(btnStop);
    op->addWidget(Led1);
    form->addRow("Operation", op);
    form->addRow("Level on", spnLevelOn);
    form->addRow("Run on", spnRunOn);
    form->addRow("Recording", spnRecGain);
    form->addRow("Play", spnPlayGain);
    form->addRow("Voltage threshold", spnDtrmVol);
    form->addRow(cbxAgc);
    auto* right = new QVBoxLayout;
    right->addLayout(form);
    right->addWidget(trigger);
    right->addStretch();
    auto* l = new QHBoxLayout(this);
    l->addWidget(lbxChannels);
    l->addLayout(right);

    connect(lbxChannels, &QListWidget::currentRowChanged, this, [this] { lbxChannelsClick(); });
    connect(btnStart, &QPushButton::clicked, this, &TConfigChannelsPage::btnStartClick);
    connect(btnStop, &QPushButton::clicked, this, &TConfigChannelsPage::btnStopClick);
    connect(spnRunOn, &TSpinEdit::outOfRange, this, &TConfigChannelsPage::spnRunOnExit);
    connect(spnRecGain, &TSpinEdit::outOfRange, this, &TConfigChannelsPage::spnRecGainExit);
    connect(spnPlayGain, &TSpinEdit::outOfRange, this, &TConfigChannelsPage::spnPlayGainExit);

    // Every edit goes at once into the selected channel.
    Live(edtTag, &QLineEdit::textChanged, [this] { session_.SetTag(edtTag->text()); });
    const std::pair<QRadioButton*, int> triggers[] = {{rbVox, 0}, {rbVoltage, 1}, {rbOndemand, 2}};
    for (const auto& [rb, trigger] : triggers)
        Live(rb, &QRadioButton::toggled, [this, rb, trigger] {
            if (rb->isChecked()) session_.SetTrigger(trigger);
        });
    Live(spnLevelOn, &QSpinBox::valueChanged, [this] { session_.SetLevelOn(spnLevelOn->value()); });
    Live(spnRunOn, &QSpinBox::valueChanged, [this] { session_.SetRunOn(spnRunOn->value()); });
    Live(spnRecGain, &QSpinBox::valueChanged,
         [this] { session_.SetRecordingGain(spnRecGain->value()); });
    Live(spnPlayGain, &QSpinBox::valueChanged,
         [this] { session_.SetPlayGain(spnPlayGain->value()); });
    Live(spnDtrmVol, &QSpinBox::valueChanged,
         [this] { session_.SetDtrmVoltage(spnDtrmVol->value()); });
    Live(cbxAgc, &QCheckBox::toggled, [this] { session_.SetAgc(cbxAgc->isChecked()); });
}

void TConfigChannelsPage::FillChannelList() {
    const QSignalBlocker block(lbxChannels);
    lbxChannels->clear();
    for (int i = 0; i < session_.ChannelCount(); ++i) lbxChannels->addItem(session_.ChannelItem(i));
    if (session_.ChannelCount() > 0) lbxChannels->setCurrentRow(0);
    session_.SelectChannel(lbxChannels->currentRow());
}

void TConfigChannelsPage::ShowOperation() {
    const bool on = session_.OperationOn();
    btnStop->setEnabled(session_.StopEnabled());
    btnStart->setEnabled(session_.StartEnabled());
    Led1->SetPicture(on ? TPictures::TileIdle() : TPictures::TileOff());
    Led1->SetTag(on ? 1 : 0);
}

void TConfigChannelsPage::lbxChannelsClick() {
    session_.SelectChannel(lbxChannels->currentRow());
    const Tchannel* c = session_.Channel();
    if (!c) return;
    const TLoading loading(*this);
    lbChannelType->setText(T::kDemoChannel);
    edtTag->setText(c->Tag);
    ShowOperation();
    rbVox->setChecked(c->Trigger == 0);
    rbVoltage->setChecked(c->Trigger == 1);
    rbOndemand->setChecked(c->Trigger == 2);
    spnLevelOn->setValue(c->LevelOn);
    spnRunOn->setValue(c->RunOn);
    spnRecGain->setValue(c->RecordingGain);
    spnPlayGain->setValue(c->PlayGain);
    spnDtrmVol->setValue(c->DtrmVoltage);
    cbxAgc->setChecked(c->Agc);
}

void TConfigChannelsPage::btnStartClick() {
    if (!session_.Channel()) return;
    session_.StartChannel();
    ShowOperation();
}

void TConfigChannelsPage::btnStopClick() {
    if (!session_.Channel()) return;
    session_.StopChannel();
    ShowOperation();
}

void TConfigChannelsPage::ShowRangeMessage(const QString& text) {
    if (!text.isEmpty()) ShowMessage(text);
}

void TConfigChannelsPage::spnRunOnExit(qint64 typed) {
    ShowRangeMessage(TConfigSession::RunOnRangeMessage(typed));
}

void TConfigChannelsPage::spnRecGainExit(qint64 typed) {
    ShowRangeMessage(TConfigSession::GainRangeMessage(typed));
}

void TConfigChannelsPage::spnPlayGainExit(qint64 typed) {
    ShowRangeMessage(TConfigSession::GainRangeMessage(typed));
}
