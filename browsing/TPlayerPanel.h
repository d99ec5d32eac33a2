// The player panel above the Logger and Search pages: the transport buttons and the volume bar.
// The buttons stay disabled until the player is plugged in.
#pragma once

#include <QWidget>

class QSlider;
class QToolButton;

class TPlayerPanel : public QWidget {
    Q_OBJECT
public:
    explicit TPlayerPanel(QWidget* parent = nullptr);

    QSlider* tbrVolume() const { return volume_; }
    // "btnPlay", "btnPause", "btnStop", "btnRewind" or "btnFastForward".
    QToolButton* Button(const QString& objectName) const;

private:
    QSlider* volume_ = nullptr;
};
