// The Channels page: the list of channels and the selected channel's tag, operation, trigger
// and line settings. Line settings go into the channel at once; Start and Stop change the
// working copy of its operation.
#pragma once

#include "TConfigPage.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;
class TLedImage;
class TSpinEdit;

class TConfigChannelsPage : public TConfigPage {
    Q_OBJECT
public:
    explicit TConfigChannelsPage(TConfigSession& session, QWidget* parent = nullptr);

    // The list filled from the channel table, the first channel selected.
    void FillChannelList();
    void ShowSettings() override { lbxChannelsClick(); }

    void lbxChannelsClick();
    void btnStartClick();
    void btnStopClick();
    void spnRunOnExit(qint64 typed);
    void spnRecGainExit(qint64 typed);
    void spnPlayGainExit(qint64 typed);

    QListWidget* lbxChannels;
    QLabel* lbChannelType;
    QLineEdit* edtTag;
    QPushButton *btnStart, *btnStop;
    TLedImage* Led1;
    QRadioButton *rbVox, *rbVoltage, *rbOndemand;
    QSpinBox* spnLevelOn;
    TSpinEdit *spnRunOn, *spnRecGain, *spnPlayGain;
    QSpinBox* spnDtrmVol;
    QCheckBox* cbxAgc;

private:
    void ShowOperation();
    // Connects a control's change to a session setter (not while loading).
    template <class Sender, class Signal, class Apply>
    void Live(Sender* sender, Signal signal, Apply apply);
    static void ShowRangeMessage(const QString& text);
};
