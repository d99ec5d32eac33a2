#include "TConfigAlarmsPage.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include "TLiveSettings.h"

using L = TLiveSettings;
using S = TConfigSession;

TConfigAlarmsPage::TConfigAlarmsPage(TConfigSession& session, QWidget* parent)
    : TConfigPage(session, "tsAlarms", parent) {
    Build();
    BindFlag(chkHardwareAl, &L::chkHardwareAl);
    BindFlag(chkHddFullAl, &L::chkHddFullAl);
    BindFlag(chkCalloverAl, &L::chkCalloverAl);
    BindFlag(chkSoftErrorAl, &L::chkSoftErrorAl);
    BindFlag(chkThreadAl, &L::chkThreadAl);
    BindFlag(chkAudioAlarm, &L::chkAudioAlarm);
    BindNumber(spnCallOvertime, &L::spnCallOvertime);
    BindNumber(spnAlarmDuration, &L::spnAlarmDuration);
    BindText(edtServerName, &L::edtServerName);
    BindText(edtSmtpUserID, &L::edtSmtpUserID);
    BindText(edtRecipient1, &L::edtRecipient1);
    BindText(edtRecipient2, &L::edtRecipient2);
    BindText(edtRecipient3, &L::edtRecipient3);
    connect(chkSmtp, &QCheckBox::toggled, this, [this] {
        if (!Loading()) chkSmtpClick();
    });
    connect(btnTestServer, &QPushButton::clicked, this, [this] {
        if (TestServer) TestServer();
    });
}

void TConfigAlarmsPage::Build() {
    chkHardwareAl = Named(new QCheckBox("Hardware failure", this), "chkHardwareAl");
    chkHddFullAl = Named(new QCheckBox("HDD full", this), "chkHddFullAl");
    chkCalloverAl = Named(new QCheckBox("Call overtime", this), "chkCalloverAl");
    spnCallOvertime = Spin("spnCallOvertime", S::kCallOvertime);
    chkSoftErrorAl = Named(new QCheckBox("Software error", this), "chkSoftErrorAl");
    chkThreadAl = Named(new QCheckBox("Thread failure", this), "chkThreadAl");
    chkAudioAlarm = Named(new QCheckBox("Audio alarm", this), "chkAudioAlarm");
    spnAlarmDuration = Spin("spnAlarmDuration", S::kAlarmDuration);
    chkSmtp = Named(new QCheckBox("Enable", this), "chkSmtp");
    edtServerName = Named(new QLineEdit(this), "edtServerName");
    edtSmtpUserID = Named(new QLineEdit(this), "edtSmtpUserID");
    edtRecipient1 = Named(new QLineEdit(this), "edtRecipient1");
    edtRecipient2 = Named(new QLineEdit(this), "edtRecipient2");
    edtRecipient3 = Named(new QLineEdit(this), "edtRecipient3");
    btnTestServer = Named(new QPushButton("Test server", this), "btnTestServer");

    auto* alarms = new QGroupBox("Alarms", this);
    auto* ag = new QGridLayout(alarms);
    ag->addWidget(chkHardwareAl, 0, 0);
    ag->addWidget(chkHddFullAl, 1, 0);
    ag->addWidget(chkCalloverAl, 2, 0);
    ag->addWidget(spnCallOvertime, 2, 1);
    ag->addWidget(new QLabel("min", alarms), 2, 2);
    ag->addWidget(chkSoftErrorAl, 3, 0);
    ag->addWidget(chkThreadAl, 4, 0);
    ag->addWidget(chkAudioAlarm, 5, 0);
    ag->addWidget(spnAlarmDuration, 5, 1);
    ag->addWidget(new QLabel("sec", alarms), 5, 2);
    auto* mail = new QGroupBox("E-mail", this);
    auto* mf = new QFormLayout(mail);
    mf->addRow(chkSmtp);
    mf->addRow("Mail server", edtServerName);
    mf->addRow("User ID", edtSmtpUserID);
    mf->addRow("Recipient 1", edtRecipient1);
    mf->addRow("Recipient 2", edtRecipient2);
    mf->addRow("Recipient 3", edtRecipient3);
    mf->addRow(btnTestServer);
    auto* l = new QHBoxLayout(this);
    l->addWidget(alarms);
    l->addWidget(mail);
}

void TConfigAlarmsPage::ShowSettings() {
    const TLiveSettings& s = session_.Settings();
    {
        const TLoading loading(*this);
        chkHardwareAl->setChecked(s.chkHardwareAl);
        chkHddFullAl->setChecked(s.chkHddFullAl);
        chkCalloverAl->setChecked(s.chkCalloverAl);
        spnCallOvertime->setValue(s.spnCallOvertime);
        chkSoftErrorAl->setChecked(s.chkSoftErrorAl);
        chkThreadAl->setChecked(s.chkThreadAl);
        chkAudioAlarm->setChecked(s.chkAudioAlarm);
        spnAlarmDuration->setValue(s.spnAlarmDuration);
        chkSmtp->setChecked(s.chkSmtp);
        edtServerName->setText(s.edtServerName);
        edtSmtpUserID->setText(s.edtSmtpUserID);
        edtRecipient1->setText(s.edtRecipient1);
        edtRecipient2->setText(s.edtRecipient2);
        edtRecipient3->setText(s.edtRecipient3);
    }
    chkSmtpClick();
}

void TConfigAlarmsPage::chkSmtpClick() {
    session_.SetMail(chkSmtp->isChecked());
    const bool on = session_.MailFieldsEnabled();
    for (QWidget* w : std::initializer_list<QWidget*>{edtServerName, edtSmtpUserID, edtRecipient1,
                                                      edtRecipient2, edtRecipient3, btnTestServer})
        w->setEnabled(on);
}
