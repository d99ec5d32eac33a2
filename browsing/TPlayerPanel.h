// The player panel above the Logger and Search pages: the waveform display with the elapsed
// time, the call's description and the total time, the position bar across the width, and the
// transport row (play, pause, stop, to start, rewind, fast forward, to end, record) with the
// volume bar. It shows the player's state (Show) and forwards the user's input as signals. Play,
// Pause and Record form a group in which at most one is down and all may be up: the one that went
// down last is shown down (a call recorded while a recording plays shows Record down, and Play
// pressed during the call shows Play down). Main thread only.
#pragma once

#include <QWidget>

#include "TPlayer.h"

class QLabel;
class QSlider;
class QToolButton;
class TdeOscilloscope;

class TPlayerPanel : public QWidget {
    Q_OBJECT
public:
    explicit TPlayerPanel(QWidget* parent = nullptr);

    QSlider* tbrVolume() const { return volume_; }
    QSlider* trackbar() const { return position_; }
    TdeOscilloscope* deOscilloscope1() const { return wave_; }
    QLabel* lbTimeElapsed() const { return elapsed_; }
    QLabel* lbFileName() const { return description_; }
    QLabel* lbtotTime() const { return total_; }
    // "btnPlay", "btnPause", "btnStop", "btnToStart", "btnRewind", "btnFastForward", "btnToEnd"
    // or "btnRecord".
    QToolButton* Button(const QString& objectName) const;
    QToolButton* RecordButton() const { return Button("btnRecord"); }

    // Shows the player's state; `rowPlays` is whether the current row has a recording to play.
    void Show(const TPlayer::Display& view, bool rowPlays);
    // Shows whether a call is being recorded.
    void SetRecordDown(bool down);

signals:
    void playClicked();
    void pauseClicked();
    void stopClicked();
    void toStartClicked();
    void rewindClicked();
    void fastForwardClicked();
    void toEndClicked();
    void recordClicked();
    void positionPressed();
    void positionReleased(qint64 position);
    void volumeChanged(int position);
    void volumePressed();

private:
    enum class Down { None, Play, Pause, Record };
    void ShowGroup();

    Down down_ = Down::None;
    bool playDown_ = false, pauseDown_ = false, recordDown_ = false;
    QSlider* volume_ = nullptr;
    QSlider* position_ = nullptr;
    TdeOscilloscope* wave_ = nullptr;
    QLabel* elapsed_ = nullptr;
    QLabel* description_ = nullptr;
    QLabel* total_ = nullptr;
};
