// The player of the recording in the current row of the grid in view. It reads the recording's
// audio in quarter-second pieces, converts each into the PCM format that goes with the file's
// format and hands it to the wave output, which holds back the first piece until the second
// comes; each piece reported played brings the next, and the last one reported ends the play.
// Seeks stop the chain and start it again at the new position. The state, the labels, the
// position bar and the buttons' states are kept here for the panel to show (`changed`).
// Main thread only: the output's reports arrive through the event loop.
#pragma once

#include <QFile>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "TdeAudioOut.h"
#include "TdeAudioConvertor.h"
#include "TdeRIFFAudioReader.h"

class IWaveOutput;
struct TLiveSettings;

class TPlayer : public QObject {
    Q_OBJECT
public:
    enum State { Stopped = 0, Playing = 1, Paused = 2 };
    // The row to play, its values in their text forms.
    struct Call {
        QString MediumLabel;
        QString FileName;
        QString Date;
        QString StartTime;
        QString Memo;
    };
    // What the panel shows.
    struct Display {
        QString Elapsed;
        QString Total;
        QString Description;
        qint64 Position = 0;
        qint64 Maximum = 0;
        bool PositionEnabled = false;
        bool PlayDown = false;
        bool PauseDown = false;
        // Enabled by the state (the file actions' Player state comes on top).
        bool Pause = false;
        bool Stop = false;
        bool Seek = false;  // to start, rewind, fast forward, to end
        bool WaveVisible = false;
    };

    TPlayer(TLiveSettings& settings, IWaveOutput& device, QObject* parent = nullptr);
    ~TPlayer() override;

    // The current row of the grid in view; none without one.
    std::function<std::optional<Call>()> CurrentCall;
    // Called after "Stop" (the file actions follow the row again).
    std::function<void()> UpdateFileActions;
    // Gives the focus back to the grid in view.
    std::function<void()> FocusGrid;

    State PlayerState() const { return state_; }
    const Display& View() const { return view_; }

    void Play();
    void Pause();
    void Stop();
    void ToStart();
    void ToEnd();
    void Rewind();
    void FastForward();
    void PositionPressed();
    void PositionReleased(qint64 position);
    // The volume bar's position 0..16; nothing without an output device whose volume can be set
    // (the main window says so at start).
    void SetVolume(int position);
    // The one-second tick.
    void Tick() { UpdateTimeLabels(); }

    // The backup medium's root folder (the chosen mounted volume; empty when there is none) and
    // the first line of its "label.txt" (empty when there is no such file).
    QString BackupRoot() const;
    QString ReadMediumLabel() const;

    // The chain, as tests look at it.
    qint64 DataPosition() const { return position_; }
    qint64 DataSize() const { return size_; }
    qint64 PieceSize() const { return pieceSize_; }
    const TdeAudioOut& Output() const { return out_; }
    const TdeWaveFormat& OutputFormat() const { return outputFormat_; }
    QString Path() const { return path_; }

    // "hh:nn:ss" of `bytes` at `bytesPerSecond`, the seconds rounded half to even.
    static QString TimeText(qint64 bytes, qint64 bytesPerSecond);

signals:
    void changed();
    void blockSent();  // a new buffer went to the output (the waveform display)

private:
    void StartPlayback(qint64 position);
    void StopPlayback();
    void FeedPiece();
    void BufferDone();
    void EndIfDone();
    void Seek(qint64 position);
    void UpdatePlayerButtons();
    void UpdateTimeLabels();
    void Fail(const QString& message);

    TLiveSettings& settings_;
    IWaveOutput& device_;
    TdeAudioOut out_;
    State state_ = Stopped;
    Display view_;
    QString path_;
    QString description_;
    // The chain while not stopped.
    std::unique_ptr<QFile> file_;
    TdeRIFFAudioInfo info_;
    std::unique_ptr<TdeAudioConvertor> convert_;
    TdeWaveFormat outputFormat_;
    qint64 position_ = 0;  // in the data chunk
    qint64 size_ = 0;
    qint64 pieceSize_ = 0;
    qint64 lastPiece_ = 0;
    bool finished_ = false;  // the end of the data has gone to the output
    bool holdingBar_ = false;
    bool keepLabels_ = false;  // during a seek
};
