#include "TEventLog.h"

#include <QFile>
#include <cerrno>
#include <stdexcept>

#include <fcntl.h>
#include <unistd.h>

#include "SystemFormat.h"
#include "TAtomicFile.h"
#include "TClock.h"

namespace {
TEventLog* instance = nullptr;
}

TEventLog::TEventLog(QObject* parent) : QObject(parent) {}

TEventLog* TEventLog::Instance() {
    return instance;
}
void TEventLog::SetInstance(TEventLog* log) {
    instance = log;
}

void TEventLog::Load(const QString& fileName) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    fileName_ = fileName;
    lines_.clear();
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly)) return;
    QByteArray data = f.readAll();
    if (data.isEmpty()) return;
    QString text = QString::fromUtf8(data);
    if (text.endsWith("\r\n"))
        text.chop(2);
    else if (text.endsWith('\n'))
        text.chop(1);
    for (QString line : text.split('\n')) {
        if (line.endsWith('\r')) line.chop(1);
        lines_ << line;
    }
}

QString TEventLog::FormatLine(double when, int channel, const QString& message) {
    QString t = DateTimeText(when);
    if (channel >= 0) return t + "  <#" + QString::number(channel) + "> (" + message + ")";
    return t + "  (" + message + ")";
}

void TEventLog::LogChannel(int channel, const QString& message) {
    Append(FormatLine(NowDateTime(), channel, message));
}

void TEventLog::LogGeneral(const QString& message) {
    Append(FormatLine(NowDateTime(), -1, message));
}

void TEventLog::Append(const QString& line) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    lines_ << line;
    AppendToFileLocked(line);
    emit lineAppended(line);
    if (lines_.size() >= kCapacity) {
        QString error;
        if (!SaveLocked(&error)) throw std::runtime_error(error.toStdString());
        lines_.clear();
        emit cleared();
    }
}

bool TEventLog::Save(QString* error) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    return SaveLocked(error);
}

bool TEventLog::SaveLocked(QString* error) {
    if (fileName_.isEmpty()) return true;
    QByteArray out;
    for (const QString& l : lines_) out += l.toUtf8() + "\r\n";
    return TAtomicFile::Write(fileName_, out, error);
}

// The line goes to the end of the file at once, so that a session that is killed keeps its
// lines. The file may then hold more than the store (lines from before a Clear or an overflow);
// the next whole write makes it equal to the store again. A failed append loses nothing: the
// line stays in the store for that write.
void TEventLog::AppendToFileLocked(const QString& line) {
    if (fileName_.isEmpty()) return;
    const QByteArray data = line.toUtf8() + "\r\n";
    const int fd = ::open(QFile::encodeName(fileName_).constData(),
                          O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return;
    const off_t before = ::lseek(fd, 0, SEEK_END);
    const char* p = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        p += n;
        left -= n;
    }
    // A line that did not fit (a full disk) is taken off again: the file holds whole lines.
    if (left > 0 && before >= 0) {
        const int cut = ::ftruncate(fd, before);
        (void)cut;  // nothing more to do when even that fails
    }
    ::close(fd);
}

void TEventLog::Clear() {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    lines_.clear();
    emit cleared();
}

QStringList TEventLog::Lines() const {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    return lines_;
}

int TEventLog::LineCount() const {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    return static_cast<int>(lines_.size());
}

void LogChannel(int channel, const QString& message) {
    if (instance) instance->LogChannel(channel, message);
}

void LogGeneral(const QString& message) {
    if (instance) instance->LogGeneral(message);
}
