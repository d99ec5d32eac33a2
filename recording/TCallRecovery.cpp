#include "TCallRecovery.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <cmath>
#include <exception>
#include <mutex>

#include "ICallFiling.h"
#include "RecordingTexts.h"
#include "TCallCompletion.h"
#include "TChannelTable.h"
#include "TClock.h"
#include "TEventLog.h"
#include "TFileOps.h"
#include "TLiveSettings.h"
#include "TdeRIFFAudioReader.h"

namespace {

const QString kTemporarySuffix = "_recording.wav";
// The header of the shortest WAV file the recorder writes (PCM: 44 bytes).
constexpr qint64 kShortestHeader = 44;

bool AllDigits(QStringView s) {
    for (QChar c : s)
        if (c < '0' || c > '9') return false;
    return !s.isEmpty();
}

void Put32(QByteArray& b, uint32_t v) {
    b.resize(4);
    for (int i = 0; i < 4; ++i) b[i] = char((v >> (8 * i)) & 0xFF);
}

}  // namespace

TCallRecovery::TCallRecovery(TChannelTable& channels, TLiveSettings& settings,
                             TCallCompletion& completion, ICallFiling& db)
    : channels_(channels), settings_(settings), completion_(completion), db_(db) {}

bool TCallRecovery::ParseRecordingName(const QString& name, int& channel, TDateTime& start) {
    if (!name.endsWith(".wav") && !name.endsWith(".mp3")) return false;
    const QStringView base = QStringView(name).chopped(4);
    const qsizetype first = base.indexOf('_');
    if (first <= 0 || base.size() - first != 1 + 8 + 1 + 6 || base[first + 9] != '_') return false;
    const QStringView number = base.left(first), date = base.mid(first + 1, 8),
                      time = base.mid(first + 10, 6);
    if (!AllDigits(number) || number.size() > 3 || !AllDigits(date) || !AllDigits(time))
        return false;
    const QDateTime when =
        QDateTime::fromString(date.toString() + time.toString(), "yyyyMMddHHmmss");
    if (!when.isValid()) return false;
    channel = number.toInt();
    start = ToDateTime(when);
    return true;
}

bool TCallRecovery::MendWave(const QString& path, bool toEnd, uint64_t& audioBytes, double& seconds,
                             bool& mp3, QString* error) {
    TdeRIFFAudioInfo info;
    try {
        info = TdeRIFFAudioReader::ReadFile(QFile::encodeName(path).toStdString());
    } catch (const std::exception& e) {
        if (error) *error = QString::fromUtf8(e.what());
        return false;
    }
    const uint64_t size = uint64_t(QFileInfo(path).size());
    if (toEnd && size > info.dataOffset) info.dataLength = size - info.dataOffset;
    const uint64_t align = std::max<uint64_t>(1, info.format.BlockAlign());
    audioBytes = info.dataLength - info.dataLength % align;
    const uint32_t perSecond = info.format.AvgBytesPerSec();
    seconds = perSecond > 0 ? double(audioBytes) / perSecond : 0;
    mp3 = info.format.FormatTag() == WaveTag::kMpegLayer3;
    const uint64_t end = info.dataOffset + audioBytes;
    QFile f(path);
    if (!f.open(QIODevice::ReadWrite)) {
        if (error) *error = f.errorString();
        return false;
    }
    // Only the lengths and a partly written last block change; the audio stays where it is.
    if (uint64_t(f.size()) == end && info.dataLength == audioBytes) {
        QByteArray riff(4, 0), data(4, 0);
        f.seek(4);
        f.read(riff.data(), 4);
        f.seek(qint64(info.dataOffset) - 4);
        f.read(data.data(), 4);
        QByteArray want;
        Put32(want, uint32_t(end - 8));
        if (riff == want) {
            Put32(want, uint32_t(audioBytes));
            if (data == want) return true;  // whole already
        }
    }
    QByteArray v;
    bool ok = f.resize(qint64(end));
    Put32(v, uint32_t(end - 8));
    ok = ok && f.seek(4) && f.write(v) == 4;
    Put32(v, uint32_t(audioBytes));
    ok = ok && f.seek(qint64(info.dataOffset) - 4) && f.write(v) == 4 && f.flush();
    if (!ok && error) *error = f.errorString();
    return ok;
}

TCallRecovery::Summary TCallRecovery::RecoverAll() {
    Summary summary;
    QStringList temporaries, recordings;
    QDirIterator it(settings_.edtFolder, QDir::Files);
    while (it.hasNext()) {
        it.next();
        const QString name = it.fileName();
        if (name.endsWith(kTemporarySuffix))
            temporaries << name;
        else if (name.endsWith(".wav") || name.endsWith(".mp3"))
            recordings << name;
    }
    temporaries.sort();
    RecoverInterruptedCalls(temporaries, summary);
    FileRecordingsWithoutRecord(recordings, summary);
    return summary;
}

void TCallRecovery::RecoverInterruptedCalls(const QStringList& temporaries, Summary& summary) {
    const QString folder = settings_.edtFolder;
    for (const QString& name : temporaries) {
        const QStringView number = QStringView(name).chopped(kTemporarySuffix.size());
        if (!AllDigits(number) || number.size() > 3) continue;
        const int n = number.toInt();
        const QString path = folder + name;
        // The file was last written when the call was cut off (read before mending it).
        const TDateTime stop = ToDateTime(QFileInfo(path).lastModified());
        uint64_t audio = 0;
        double seconds = 0;
        bool mp3 = false;
        if (!MendOrRemove(path, true, audio, seconds, mp3, summary)) continue;
        const TDateTime start = stop - seconds / 86400.0;
        if (!completion_.Keeps(FoundCall(n, start, stop))) {
            if (settings_.cbxRecordCalls != 3) QFile::remove(path);
            LogGeneral(RecordingTexts::kRecoveredRejected + path);
            ++summary.Rejected;
            continue;
        }
        if (settings_.cbxRecordCalls == 3) {
            // Records only: the call is filed, its audio is not kept.
            if (FileFound(n, start, stop, QString(), summary)) {
                QFile::remove(path);
                LogGeneral(RecordingTexts::kRecoveredAsRecord + path);
            }
            continue;
        }
        // Its own name, a second later for each name already taken.
        const QString ext = mp3 ? ".mp3" : ".wav";
        QString final;
        TDateTime named = start;
        bool renamed = false;
        for (int tries = 0; tries < 3600 && !renamed; ++tries, named += 1.0 / 86400.0) {
            final = TCallCompletion::BaseName(n, named) + ext;
            renamed = TFileOps::RenameNoReplace(path, folder + final);
        }
        if (!renamed) {
            summary.Problems << RecordingTexts::kNotRecoverable + path;
            LogGeneral(summary.Problems.back());
            continue;
        }
        if (FileFound(n, start, stop, final, summary))
            LogGeneral(RecordingTexts::kRecoveredCall + folder + final);
    }
}

void TCallRecovery::FileRecordingsWithoutRecord(const QStringList& recordings, Summary& summary) {
    const QString folder = settings_.edtFolder;
    if (recordings.isEmpty()) return;
    const QSet<QString> recorded = db_.RecordedFileNames();
    QStringList missing;
    for (const QString& name : recordings)
        if (!recorded.contains(name)) missing << name;
    missing.sort();  // filed in the order of their names: by channel, then time
    for (const QString& name : missing) {
        int n = 0;
        TDateTime start = 0;
        if (!ParseRecordingName(name, n, start)) continue;
        const QString path = folder + name;
        uint64_t audio = 0;
        double seconds = 0;
        bool mp3 = false;
        if (!MendOrRemove(path, true, audio, seconds, mp3, summary)) continue;
        if (FileFound(n, start, start + seconds / 86400.0, name, summary))
            LogGeneral(RecordingTexts::kRecoveredCall + path);
    }
}

// A file with no audio in it (empty, or shorter than any header, or a header alone) is
// removed; one that is no WAV file is reported and left alone.
bool TCallRecovery::MendOrRemove(const QString& path, bool toEnd, uint64_t& audio, double& seconds,
                                 bool& mp3, Summary& summary) {
    QString error;
    const bool wave = MendWave(path, toEnd, audio, seconds, mp3, &error);
    if (wave ? audio == 0 : QFileInfo(path).size() < kShortestHeader) {
        QFile::remove(path);
        LogGeneral(RecordingTexts::kEmptyRemoved + path);
        ++summary.Removed;
        return false;
    }
    if (!wave) {
        summary.Problems << RecordingTexts::kNotRecoverable + path + ": " + error;
        LogGeneral(summary.Problems.back());
        return false;
    }
    return true;
}

// A call found without its record: the channel's settings, its times, no caller details (they
// were only in memory).
Tchannel TCallRecovery::FoundCall(int channel, TDateTime start, TDateTime stop) const {
    Tchannel c = channel < channels_.Count() ? channels_[channel] : Tchannel();
    c.Number = channel;
    c.StartTime = start;
    c.StopTime = stop;
    c.Dtmf.clear();
    c.CallerId.clear();
    c.CallerName.clear();
    return c;
}

bool TCallRecovery::FileFound(int channel, TDateTime start, TDateTime stop, const QString& fileName,
                              Summary& summary) {
    Tchannel c = FoundCall(channel, start, stop);
    c.FileName = fileName;
    try {
        std::lock_guard<std::recursive_mutex> lock(*c.Lock);
        db_.AddRecoveredCall(c, RecordingTexts::kRecoveredMemo);
    } catch (const std::exception& e) {
        // The recording keeps its name: the next start files it.
        summary.Problems << RecordingTexts::kNotRecoverable + fileName + ": " +
                                QString::fromUtf8(e.what());
        LogGeneral(summary.Problems.back());
        return false;
    }
    ++summary.Recovered;
    return true;
}
