// INI-style store: sections and keys matched without regard to letter case, key order kept,
// Booleans as "1"/"0", date-times as the system's date-time text. Every write is saved at once
// and atomically (temporary file, flush, rename).
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "VolgaTypes.h"

class TIniFile {
public:
    enum class LoadResult { Loaded, Missing, SetAside };

    TIniFile() = default;
    explicit TIniFile(const QString& path) { Open(path); }

    // Reads the file. Lines are UTF-8; a line that is not is read as Latin-1. A file that cannot
    // be read as text (unreadable, or binary: it holds a NUL byte) is renamed aside
    // (SetAsidePath tells where) and the store starts empty, so nothing in it is overwritten.
    LoadResult Open(const QString& path);
    const QString& FileName() const { return path_; }
    const QString& SetAsidePath() const { return setAside_; }

    QString ReadString(const QString& section, const QString& key, const QString& def) const;
    int ReadInteger(const QString& section, const QString& key, int def) const;
    bool ReadBool(const QString& section, const QString& key, bool def) const;
    TDateTime ReadDateTime(const QString& section, const QString& key, TDateTime def) const;
    double ReadFloat(const QString& section, const QString& key, double def) const;

    // Writes and saves. False (and LastError set) when the file could not be written; the value
    // is kept in memory either way.
    bool WriteString(const QString& section, const QString& key, const QString& value);
    bool WriteInteger(const QString& section, const QString& key, int value);
    bool WriteBool(const QString& section, const QString& key, bool value);
    bool WriteDateTime(const QString& section, const QString& key, TDateTime value);
    bool WriteFloat(const QString& section, const QString& key, double value);

    bool SectionExists(const QString& section) const;
    bool ValueExists(const QString& section, const QString& key) const;
    QStringList ReadSection(const QString& section) const;  // keys in file order
    QStringList ReadSections() const;
    bool EraseSection(const QString& section);
    bool DeleteKey(const QString& section, const QString& key);

    // Saving can be held back for a batch of writes; EndUpdate saves once.
    void BeginUpdate() { ++updating_; }
    bool EndUpdate();
    bool UpdateFile();
    const QString& LastError() const { return lastError_; }

    // The text form of the whole store.
    QByteArray ToText() const;
    void FromText(const QByteArray& text);

private:
    struct Entry {
        QString Key;
        QString Value;
    };
    struct Section {
        QString Name;
        std::vector<Entry> Entries;
    };
    const Section* FindSection(const QString& name) const;
    Section& GetSection(const QString& name);
    const Entry* FindEntry(const QString& section, const QString& key) const;
    bool Changed();

    QString path_;
    QString setAside_;
    QString lastError_;
    std::vector<Section> sections_;
    int updating_ = 0;
};
