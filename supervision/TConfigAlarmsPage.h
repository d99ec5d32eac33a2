// The Alarms page: which alarms are raised, the overtime and the audio alarm's length, and
// the alarm e-mail with its server and recipients.
#pragma once

#include <functional>

#include "TConfigPage.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

class TConfigAlarmsPage : public TConfigPage {
    Q_OBJECT
public:
    explicit TConfigAlarmsPage(TConfigSession& session, QWidget* parent = nullptr);

    void ShowSettings() override;

    std::function<void()> TestServer;  // unset: the button does nothing

    void chkSmtpClick();

    QCheckBox *chkHardwareAl, *chkHddFullAl, *chkCalloverAl, *chkSoftErrorAl, *chkThreadAl,
        *chkAudioAlarm, *chkSmtp;
    QSpinBox *spnCallOvertime, *spnAlarmDuration;
    QLineEdit *edtServerName, *edtSmtpUserID, *edtRecipient1, *edtRecipient2, *edtRecipient3;
    QPushButton* btnTestServer;

private:
    void Build();
};
