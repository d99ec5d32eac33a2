#include "TPlayerPanel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QSlider>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "TdeOscilloscope.h"

namespace {

// The record picture: the desktop theme's, else a red dot.
QIcon RecordIcon() {
    QIcon themed = QIcon::fromTheme("media-record");
    if (!themed.isNull()) return themed;
    QPixmap dot(16, 16);
    dot.fill(Qt::transparent);
    QPainter p(&dot);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(200, 0, 0));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRectF(2, 2, 12, 12));
    return QIcon(dot);
}

}  // namespace

TPlayerPanel::TPlayerPanel(QWidget* parent) : QWidget(parent) {
    setObjectName("Panel2");
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(4, 2, 4, 2);
    column->setSpacing(2);

    // The waveform with the elapsed time; the description and the total time beside it.
    auto* top = new QHBoxLayout;
    auto* waveColumn = new QVBoxLayout;
    wave_ = new TdeOscilloscope(this);
    wave_->setFixedSize(200, 48);
    wave_->hide();  // shown between Play and Stop
    elapsed_ = new QLabel("00:00:00", this);
    elapsed_->setObjectName("lbTimeElapsed");
    elapsed_->setAccessibleName("Elapsed time");
    waveColumn->addWidget(wave_);
    waveColumn->addWidget(elapsed_);
    top->addLayout(waveColumn);
    auto* textColumn = new QVBoxLayout;
    description_ = new QLabel(this);
    description_->setObjectName("lbFileName");
    description_->setAccessibleName("Call");
    total_ = new QLabel("Total Time 00:00:00", this);
    total_->setObjectName("lbtotTime");
    total_->setAccessibleName("Total time");
    textColumn->addWidget(description_);
    textColumn->addWidget(total_);
    top->addLayout(textColumn, 1);
    column->addLayout(top);

    position_ = new QSlider(Qt::Horizontal, this);
    position_->setObjectName("trackbar");
    position_->setAccessibleName("Position");
    position_->setEnabled(false);
    position_->setRange(0, 0);
    column->addWidget(position_);
    connect(position_, &QSlider::sliderPressed, this, &TPlayerPanel::positionPressed);
    connect(position_, &QSlider::sliderReleased, this,
            [this] { emit positionReleased(position_->value()); });

    struct Spec {
        const char* Name;
        const char* Caption;
        QStyle::StandardPixmap Icon;  // the platform's standard media pictures
        void (TPlayerPanel::*Signal)();
    };
    const Spec buttons[] = {
        {"btnPlay", "Play", QStyle::SP_MediaPlay, &TPlayerPanel::playClicked},
        {"btnPause", "Pause", QStyle::SP_MediaPause, &TPlayerPanel::pauseClicked},
        {"btnStop", "Stop", QStyle::SP_MediaStop, &TPlayerPanel::stopClicked},
        {"btnToStart", "To start", QStyle::SP_MediaSkipBackward, &TPlayerPanel::toStartClicked},
        {"btnRewind", "Rewind", QStyle::SP_MediaSeekBackward, &TPlayerPanel::rewindClicked},
        {"btnFastForward", "Fast forward", QStyle::SP_MediaSeekForward,
         &TPlayerPanel::fastForwardClicked},
        {"btnToEnd", "To end", QStyle::SP_MediaSkipForward, &TPlayerPanel::toEndClicked},
        {"btnRecord", "Record", QStyle::SP_CustomBase, &TPlayerPanel::recordClicked},
    };
    auto* row = new QHBoxLayout;
    for (const Spec& spec : buttons) {
        auto* b = new QToolButton(this);
        b->setObjectName(spec.Name);
        b->setAccessibleName(spec.Caption);
        b->setIcon(spec.Icon == QStyle::SP_CustomBase ? RecordIcon()
                                                      : style()->standardIcon(spec.Icon));
        b->setToolTip(spec.Caption);
        b->setEnabled(false);  // until the current row has a recording
        const bool downButton = QString(spec.Name) == "btnPlay" ||
                                QString(spec.Name) == "btnPause" ||
                                QString(spec.Name) == "btnRecord";
        b->setCheckable(downButton);
        connect(b, &QToolButton::clicked, this, spec.Signal);
        row->addWidget(b);
    }
    row->addStretch(1);
    row->addWidget(new QLabel("Volume", this));
    volume_ = new QSlider(Qt::Horizontal, this);
    volume_->setObjectName("tbrVolume");
    volume_->setAccessibleName("Volume");
    volume_->setRange(0, 16);
    volume_->setValue(2);
    volume_->setTickInterval(2);
    volume_->setTickPosition(QSlider::TicksBelow);
    volume_->setFixedWidth(120);
    connect(volume_, &QSlider::valueChanged, this, &TPlayerPanel::volumeChanged);
    connect(volume_, &QSlider::sliderPressed, this, &TPlayerPanel::volumePressed);
    row->addWidget(volume_);
    column->addLayout(row);
}

QToolButton* TPlayerPanel::Button(const QString& objectName) const {
    return findChild<QToolButton*>(objectName, Qt::FindDirectChildrenOnly);
}

void TPlayerPanel::Show(const TPlayer::Display& view, bool rowPlays) {
    elapsed_->setText(view.Elapsed);
    total_->setText(view.Total);
    description_->setText(view.Description);
    if (!position_->isSliderDown()) {
        position_->setRange(0, static_cast<int>(std::min<qint64>(view.Maximum, INT_MAX)));
        position_->setValue(static_cast<int>(std::min<qint64>(view.Position, INT_MAX)));
    }
    position_->setEnabled(view.PositionEnabled);
    wave_->setVisible(view.WaveVisible);
    const bool active = rowPlays || view.PlayDown || view.PauseDown;
    Button("btnPlay")->setEnabled(active);
    Button("btnPause")->setEnabled(active && view.Pause);
    if (view.PlayDown && !playDown_) down_ = Down::Play;
    if (view.PauseDown && !pauseDown_) down_ = Down::Pause;
    playDown_ = view.PlayDown;
    pauseDown_ = view.PauseDown;
    ShowGroup();
    Button("btnStop")->setEnabled(active && view.Stop);
    for (const char* name : {"btnToStart", "btnRewind", "btnFastForward", "btnToEnd"})
        Button(name)->setEnabled(view.Seek);
}

void TPlayerPanel::SetRecordDown(bool down) {
    if (down && !recordDown_) down_ = Down::Record;
    recordDown_ = down;
    ShowGroup();
}

void TPlayerPanel::ShowGroup() {
    // The one that went down last, while it is still down; else another that is.
    const bool stillDown = (down_ == Down::Play && playDown_) ||
                           (down_ == Down::Pause && pauseDown_) ||
                           (down_ == Down::Record && recordDown_);
    if (!stillDown)
        down_ = playDown_     ? Down::Play
                : pauseDown_  ? Down::Pause
                : recordDown_ ? Down::Record
                              : Down::None;
    Button("btnPlay")->setChecked(down_ == Down::Play);
    Button("btnPause")->setChecked(down_ == Down::Pause);
    Button("btnRecord")->setChecked(down_ == Down::Record);
}
