#include "TIniFile.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include "SystemFormat.h"
#include "TAtomicFile.h"

namespace {

bool SameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// A line is UTF-8; one that is not (a value written by another program in a legacy code page)
// is read as Latin-1, so that one stray byte costs only its own line, not the whole file.
QString DecodeLine(const QByteArray& raw) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString line = utf8(raw);
    return utf8.hasError() ? QString::fromLatin1(raw) : line;
}

}  // namespace

TIniFile::LoadResult TIniFile::Open(const QString& path) {
    path_ = path;
    setAside_.clear();
    sections_.clear();
    QFile f(path);
    if (!f.exists()) return LoadResult::Missing;
    QByteArray data;
    bool readable = f.open(QIODevice::ReadOnly);
    if (readable) {
        data = f.readAll();
        readable = f.error() == QFileDevice::NoError;
        f.close();
    }
    // A text file has no NUL byte; one that has is binary or was overwritten.
    if (readable) readable = !data.contains('\0');
    if (!readable) {
        // Keep the damaged file for the user; start from defaults.
        QString aside =
            path + ".unreadable-" + QDateTime::currentDateTime().toString("yyyyMMdd-hhmmss");
        QFile::remove(aside);
        if (QFile::rename(path, aside))
            setAside_ = aside;
        else
            setAside_ = path;  // could not even rename it: leave it where it is
        return LoadResult::SetAside;
    }
    FromText(data);
    return LoadResult::Loaded;
}

void TIniFile::FromText(const QByteArray& text) {
    sections_.clear();
    Section* cur = nullptr;
    const QList<QByteArray> lines = text.split('\n');
    for (QByteArray raw : lines) {
        if (raw.endsWith('\r')) raw.chop(1);
        const QString line = DecodeLine(raw);
        QString t = line.trimmed();
        if (t.isEmpty() || t.startsWith(';')) continue;
        if (t.startsWith('[') && t.endsWith(']')) {
            cur = &GetSection(t.mid(1, t.size() - 2).trimmed());
            continue;
        }
        int eq = line.indexOf('=');
        if (eq <= 0 || !cur) continue;
        QString key = line.left(eq).trimmed();
        if (key.isEmpty()) continue;  // " =x": no key to find it by, and none to write back
        QString value = line.mid(eq + 1);
        bool found = false;
        for (Entry& e : cur->Entries) {
            if (SameName(e.Key, key)) {
                found = true;  // the first occurrence wins, as a lookup would see it
                break;
            }
        }
        if (!found) cur->Entries.push_back({key, value});
    }
}

QByteArray TIniFile::ToText() const {
    QByteArray out;
    for (const Section& s : sections_) {
        out += '[' + s.Name.toUtf8() + "]\r\n";
        for (const Entry& e : s.Entries) out += e.Key.toUtf8() + '=' + e.Value.toUtf8() + "\r\n";
        out += "\r\n";
    }
    return out;
}

const TIniFile::Section* TIniFile::FindSection(const QString& name) const {
    for (const Section& s : sections_)
        if (SameName(s.Name, name)) return &s;
    return nullptr;
}

TIniFile::Section& TIniFile::GetSection(const QString& name) {
    for (Section& s : sections_)
        if (SameName(s.Name, name)) return s;
    sections_.push_back({name, {}});
    return sections_.back();
}

const TIniFile::Entry* TIniFile::FindEntry(const QString& section, const QString& key) const {
    const Section* s = FindSection(section);
    if (!s) return nullptr;
    for (const Entry& e : s->Entries)
        if (SameName(e.Key, key)) return &e;
    return nullptr;
}

QString TIniFile::ReadString(const QString& section, const QString& key, const QString& def) const {
    const Entry* e = FindEntry(section, key);
    return e ? e->Value : def;
}

int TIniFile::ReadInteger(const QString& section, const QString& key, int def) const {
    const Entry* e = FindEntry(section, key);
    if (!e) return def;
    QString v = e->Value.trimmed();
    bool ok = false;
    int result = v.startsWith('$')                         ? v.mid(1).toInt(&ok, 16)
                 : v.startsWith("0x", Qt::CaseInsensitive) ? v.mid(2).toInt(&ok, 16)
                                                           : v.toInt(&ok, 10);
    return ok ? result : def;
}

bool TIniFile::ReadBool(const QString& section, const QString& key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

TDateTime TIniFile::ReadDateTime(const QString& section, const QString& key, TDateTime def) const {
    const Entry* e = FindEntry(section, key);
    if (!e) return def;
    TDateTime v = 0;
    std::string text = e->Value.trimmed().toStdString();
    const TVolgaFormatSettings& fmt = SystemFormat();
    if (fmt.ParseDateTime(text, v) || fmt.ParseDate(text, v)) return v;
    return def;
}

double TIniFile::ReadFloat(const QString& section, const QString& key, double def) const {
    const Entry* e = FindEntry(section, key);
    if (!e) return def;
    double v = 0;
    if (SystemFormat().ParseFloat(e->Value.trimmed().toStdString(), v)) return v;
    return def;
}

bool TIniFile::WriteString(const QString& section, const QString& key, const QString& value) {
    // Line breaks cannot be stored in a line-based file.
    QString clean = value;
    clean.replace('\r', ' ').replace('\n', ' ');
    Section& s = GetSection(section);
    bool found = false;
    for (Entry& e : s.Entries) {
        if (SameName(e.Key, key)) {
            e.Value = clean;
            found = true;
            break;
        }
    }
    if (!found) s.Entries.push_back({key, clean});
    return Changed();
}

bool TIniFile::WriteInteger(const QString& section, const QString& key, int value) {
    return WriteString(section, key, QString::number(value));
}

bool TIniFile::WriteBool(const QString& section, const QString& key, bool value) {
    return WriteString(section, key, value ? "1" : "0");
}

bool TIniFile::WriteDateTime(const QString& section, const QString& key, TDateTime value) {
    return WriteString(section, key, DateTimeText(value));
}

bool TIniFile::WriteFloat(const QString& section, const QString& key, double value) {
    return WriteString(section, key, QString::fromStdString(SystemFormat().FormatFloat(value)));
}

bool TIniFile::SectionExists(const QString& section) const {
    return FindSection(section);
}

bool TIniFile::ValueExists(const QString& section, const QString& key) const {
    return FindEntry(section, key);
}

QStringList TIniFile::ReadSection(const QString& section) const {
    QStringList keys;
    if (const Section* s = FindSection(section))
        for (const Entry& e : s->Entries) keys << e.Key;
    return keys;
}

QStringList TIniFile::ReadSections() const {
    QStringList names;
    for (const Section& s : sections_) names << s.Name;
    return names;
}

bool TIniFile::EraseSection(const QString& section) {
    std::erase_if(sections_, [&](const Section& s) { return SameName(s.Name, section); });
    return Changed();
}

bool TIniFile::DeleteKey(const QString& section, const QString& key) {
    for (Section& s : sections_)
        if (SameName(s.Name, section))
            std::erase_if(s.Entries, [&](const Entry& e) { return SameName(e.Key, key); });
    return Changed();
}

bool TIniFile::Changed() {
    return updating_ > 0 ? true : UpdateFile();
}

bool TIniFile::EndUpdate() {
    if (updating_ > 0) --updating_;
    return updating_ == 0 ? UpdateFile() : true;
}

bool TIniFile::UpdateFile() {
    lastError_.clear();
    if (path_.isEmpty()) return true;
    return TAtomicFile::Write(path_, ToText(), &lastError_);
}
