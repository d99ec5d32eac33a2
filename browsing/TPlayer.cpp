#include "TPlayer.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <exception>

#include "AudioTexts.h"
#include "BrowsingTexts.h"
#include "DatabaseTexts.h"
#include "EAudioError.h"
#include "IWaveOutput.h"
#include "TLiveSettings.h"
#include "TMessages.h"
#include "TVolumeSpace.h"
#include "TdeAudioCodecs.h"

TPlayer::TPlayer(TLiveSettings& settings, IWaveOutput& device, QObject* parent)
    : QObject(parent), settings_(settings), device_(device), out_(device) {
    out_.OnDone = [this] { BufferDone(); };
    out_.OnFailure = [this](const QString& reason) { Fail(reason); };
    UpdatePlayerButtons();
    UpdateTimeLabels();
}

TPlayer::~TPlayer() {
    out_.OnDone = nullptr;
    out_.OnFailure = nullptr;
    StopPlayback();
}

QString TPlayer::TimeText(qint64 bytes, qint64 bytesPerSecond) {
    if (bytesPerSecond <= 0) return BrowsingTexts::kZeroTime;
    // Halves go to the even second (the default rounding mode).
    const auto seconds = static_cast<qint64>(
        std::nearbyint(static_cast<double>(bytes) / static_cast<double>(bytesPerSecond)));
    const qint64 ofDay = ((seconds % 86400) + 86400) % 86400;
    return QString("%1:%2:%3")
        .arg(ofDay / 3600, 2, 10, QChar('0'))
        .arg(ofDay / 60 % 60, 2, 10, QChar('0'))
        .arg(ofDay % 60, 2, 10, QChar('0'));
}

QString TPlayer::BackupRoot() const {
    const QStringList volumes = TVolumeSpace::Instance().Volumes();
    const int i = settings_.cbxDrive1;
    return i >= 0 && i < volumes.size() ? volumes[i] : QString();
}

QString TPlayer::ReadMediumLabel() const {
    const QString root = BackupRoot();
    if (root.isEmpty()) return QString();
    QFile f(QDir(root).filePath(BrowsingTexts::kMediumLabelFile));
    if (!f.open(QIODevice::ReadOnly)) return QString();
    QByteArray line = f.readLine();
    while (line.endsWith('\n') || line.endsWith('\r')) line.chop(1);
    return QString::fromUtf8(line);
}

void TPlayer::Play() {
    if (state_ == Playing) {
        view_.PlayDown = true;
        emit changed();
        return;
    }
    if (state_ == Paused) {
        try {
            out_.Restart();
        } catch (const std::exception& e) {
            Fail(QString::fromUtf8(e.what()));
            return;
        }
        state_ = Playing;
        UpdatePlayerButtons();
        return;
    }
    const std::optional<Call> call = CurrentCall ? CurrentCall() : std::nullopt;
    if (!call) return;
    if (call->MediumLabel != DatabaseTexts::kMainStorageMedium) {
        if (call->MediumLabel != ReadMediumLabel()) {
            ShowMessage(BrowsingTexts::kWrongMedium);
            return;
        }
        path_ = QDir(BackupRoot()).filePath(call->FileName);
    } else {
        path_ = settings_.edtFolder + call->FileName;
    }
    description_ = call->Date + "  " + call->StartTime + "  " + call->Memo;
    try {
        StartPlayback(view_.Position);
    } catch (const std::exception& e) {
        Fail(QString::fromUtf8(e.what()));
        return;
    }
    if (state_ != Playing) return;  // the file was not there
    view_.WaveVisible = true;
    UpdatePlayerButtons();
    EndIfDone();
}

void TPlayer::StartPlayback(qint64 position) {
    if (!QFileInfo::exists(path_)) {
        ShowMessage(BrowsingTexts::kFileNotFoundStart + ("\"" + path_ + "\"") +
                    BrowsingTexts::kFileNotFoundEnd);
        return;
    }
    view_.PositionEnabled = true;
    try {
        file_ = std::make_unique<QFile>(path_);
        if (!file_->open(QIODevice::ReadOnly))
            throw EAudioError(AudioTexts::kReadFile + path_.toStdString());
        QFile* f = file_.get();
        info_ = TdeRIFFAudioReader::Parse(
            static_cast<uint64_t>(f->size()), [f](uint64_t offset, std::span<uint8_t> into) {
                if (!f->seek(static_cast<qint64>(offset))) return size_t{0};
                const qint64 n = f->read(reinterpret_cast<char*>(into.data()),
                                         static_cast<qint64>(into.size()));
                return n > 0 ? static_cast<size_t>(n) : size_t{0};
            });
        const auto pcm = TdeAudioCodecs::SuggestPcm(info_.format);
        if (!pcm) throw EAudioError(AudioTexts::kConversionNotPossible);
        outputFormat_ = *pcm;
        convert_ = std::make_unique<TdeAudioConvertor>();
        convert_->SetInputFormat(info_.format);
        convert_->SetOutputFormat(outputFormat_);
        convert_->Subscribe([this](TdeAudioConvertor&, std::span<const uint8_t> block) {
            out_.Write(block);
            emit blockSent();
        });
        convert_->Open();
        size_ = static_cast<qint64>(info_.dataLength);
        out_.Open(outputFormat_);
        view_.Maximum = size_;
        position_ = std::clamp<qint64>(position, 0, size_);
        finished_ = false;
        // A quarter of a second of the file's data; at least a block, whatever the header says.
        pieceSize_ = std::max<qint64>(std::max<qint64>(1, info_.format.BlockAlign()),
                                      info_.format.AvgBytesPerSec() / out_.BufferCount / 4);
        for (int i = 0; i <= out_.BufferCount; ++i) FeedPiece();
    } catch (...) {
        StopPlayback();
        throw;
    }
    state_ = Playing;
    UpdateTimeLabels();
}

void TPlayer::StopPlayback() {
    try {
        out_.Close();
    } catch (const std::exception&) {
    }
    if (convert_) convert_->Close();
    convert_.reset();
    file_.reset();
    state_ = Stopped;
    UpdateTimeLabels();
}

void TPlayer::FeedPiece() {
    qint64 piece = pieceSize_;
    if (size_ - position_ < 2 * pieceSize_) piece = std::max<qint64>(0, size_ - position_);
    if (!holdingBar_) view_.Position = position_;
    lastPiece_ = piece;
    if (piece > 0) {
        QByteArray bytes;
        if (file_->seek(static_cast<qint64>(info_.dataOffset) + position_)) bytes = file_->read(piece);
        // A file that ends sooner than it said ends the data there.
        if (bytes.size() < piece) size_ = position_ + bytes.size();
        position_ += bytes.size();
        if (!bytes.isEmpty())
            convert_->Convert(std::span(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                        static_cast<size_t>(bytes.size())));
    }
    // The data has ended: what the output still holds back goes to the device, and it plays
    // out to the end.
    if (position_ >= size_ && !finished_) {
        finished_ = true;
        out_.Finish();
    }
}

void TPlayer::BufferDone() {
    if (state_ == Stopped) return;
    if (position_ < size_) {
        try {
            FeedPiece();
        } catch (const std::exception& e) {
            Fail(QString::fromUtf8(e.what()));
            return;
        }
    }
    EndIfDone();
}

void TPlayer::EndIfDone() {
    // Played to the end: the last buffer sent has come back (or the end gave nothing to send).
    if (state_ == Stopped || position_ < size_ || out_.Outstanding() > 0) return;
    view_.Position = 0;
    Stop();
}

void TPlayer::Stop() {
    view_.PositionEnabled = false;
    StopPlayback();
    view_.Position = 0;
    view_.WaveVisible = false;
    UpdatePlayerButtons();
    if (UpdateFileActions) UpdateFileActions();
}

void TPlayer::Pause() {
    switch (state_) {
        case Paused:
            view_.PauseDown = true;
            break;
        case Stopped:
            view_.PauseDown = false;
            break;
        case Playing:
            try {
                out_.Pause();
            } catch (const std::exception& e) {
                Fail(QString::fromUtf8(e.what()));
                return;
            }
            state_ = Paused;
            UpdatePlayerButtons();
            break;
    }
    view_.PositionEnabled = false;
    emit changed();
}

void TPlayer::Seek(qint64 position) {
    if (state_ != Playing) return;
    keepLabels_ = true;
    StopPlayback();  // the output drops what it held: nothing is left to come back
    try {
        StartPlayback(position);
    } catch (const std::exception& e) {
        keepLabels_ = false;
        Fail(QString::fromUtf8(e.what()));
        return;
    }
    keepLabels_ = false;
    if (state_ != Playing) {  // the file has gone meanwhile
        Stop();
        return;
    }
    UpdateTimeLabels();
    EndIfDone();
}

void TPlayer::ToStart() { Seek(0); }

void TPlayer::ToEnd() {
    if (state_ == Playing) Seek(size_ - size_ % 1024);
}

void TPlayer::Rewind() {
    if (state_ != Playing) return;
    const qint64 ba = std::max<qint64>(1, info_.format.BlockAlign());
    qint64 step = size_ / 30;
    if (step < 2 * lastPiece_) step = 4 * lastPiece_;
    step -= step % ba;
    const qint64 to = view_.Position - step > 0 ? (position_ - position_ % ba) - step : 0;
    Seek(std::max<qint64>(0, to));
}

void TPlayer::FastForward() {
    if (state_ != Playing) return;
    const qint64 ba = std::max<qint64>(1, info_.format.BlockAlign());
    qint64 step = size_ / 30;
    step -= step % ba;
    const qint64 to = view_.Position + step <= size_ ? (position_ - position_ % ba) + step : size_;
    Seek(std::min(to, size_));
}

void TPlayer::PositionPressed() {
    holdingBar_ = true;
    if (FocusGrid) FocusGrid();
}

void TPlayer::PositionReleased(qint64 position) {
    holdingBar_ = false;
    if (state_ == Playing) {
        const qint64 ba = std::max<qint64>(1, info_.format.BlockAlign());
        Seek(position - position % ba);
    } else {
        view_.Position = position;
    }
    if (FocusGrid) FocusGrid();
}

void TPlayer::SetVolume(int position) {
    if (!device_.HasVolumeControl()) return;
    const int p = std::clamp(position, 0, 16);
    device_.SetVolume(p == 0 ? 0.0 : (p * 4096.0 - 1) / 65535.0);
}

void TPlayer::UpdatePlayerButtons() {
    switch (state_) {
        case Stopped:
            view_.PlayDown = false;
            view_.PauseDown = false;
            view_.Pause = true;
            view_.Stop = true;
            view_.Seek = false;  // seeks work while playing only
            break;
        case Playing:
            view_.PlayDown = true;
            view_.PauseDown = false;
            view_.Pause = view_.Stop = view_.Seek = true;
            view_.PositionEnabled = true;
            break;
        case Paused:
            view_.PlayDown = false;
            view_.PauseDown = true;
            view_.Pause = true;
            view_.Seek = false;
            break;
    }
    emit changed();
}

void TPlayer::UpdateTimeLabels() {
    switch (state_) {
        case Stopped:
            view_.Elapsed = BrowsingTexts::kZeroTime;
            if (!keepLabels_) {
                view_.Total = QString(BrowsingTexts::kTotalTime) + BrowsingTexts::kZeroTime;
                view_.Description.clear();
            }
            break;
        case Playing: {
            const qint64 rate = info_.format.AvgBytesPerSec();
            view_.Elapsed = TimeText(position_, rate);
            if (!keepLabels_) {
                view_.Total = BrowsingTexts::kTotalTime + TimeText(size_, rate);
                view_.Description = description_;
            }
            break;
        }
        case Paused:
            return;
    }
    emit changed();
}

void TPlayer::Fail(const QString& message) {
    Stop();
    ShowMessage(message);
}
