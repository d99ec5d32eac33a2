// The waveform display: the latest block of 16-bit (or 8-bit) PCM as a line of 800 points across
// the widget, left channel, each point offset from the vertical centre by sample / 32768 of half
// the height; lime on black.
#pragma once

#include <QByteArray>
#include <QWidget>
#include <vector>

class TdeOscilloscope : public QWidget {
    Q_OBJECT
public:
    static constexpr int kPoints = 800;
    explicit TdeOscilloscope(QWidget* parent = nullptr);
    // Takes the samples of the block's left channel; an empty block shows the centre line.
    void SetBlock(const QByteArray& pcm, int channels, int bitsPerSample);
    // The points' samples (-32768..32767), kPoints of them, or none before the first block.
    const std::vector<int>& Samples() const { return samples_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    std::vector<int> samples_;
};
