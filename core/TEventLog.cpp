#include "TEventLog.h"

#include <QFile>
#include <stdexcept>

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
