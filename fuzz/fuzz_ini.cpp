// Fuzzes the settings files' reader (Pelmorant.ini, registry.ini and Tree.ini are read at every
// start): any bytes must be read without a crash, every value must read back through each typed
// reader, and the store written out must read back as the same store.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "SystemFormat.h"
#include "TIniFile.h"

namespace {

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "fuzz_ini: %s\n", what);
    std::abort();
}

// Every section, key and value as the reader sees them.
QStringList Dump(const TIniFile& ini) {
    QStringList out;
    for (const QString& section : ini.ReadSections()) {
        out << "[" + section + "]";
        for (const QString& key : ini.ReadSection(section))
            out << key + "=" + ini.ReadString(section, key, QString());
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool once = [] {
        SetSystemFormat(TVolgaFormatSettings::Iso());
        return true;
    }();
    (void)once;
    const QByteArray text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    TIniFile ini;
    ini.FromText(text);
    for (const QString& section : ini.ReadSections()) {
        if (!ini.SectionExists(section)) Fail("a section is not found by its name");
        for (const QString& key : ini.ReadSection(section)) {
            if (!ini.ValueExists(section, key)) Fail("a key is not found by its name");
            (void)ini.ReadInteger(section, key, 0);
            (void)ini.ReadBool(section, key, false);
            (void)ini.ReadDateTime(section, key, 0);
            (void)ini.ReadFloat(section, key, 0);
        }
    }

    TIniFile again;
    again.FromText(ini.ToText());
    if (Dump(again) != Dump(ini)) Fail("the store written out reads back differently");

    // The same bytes through a real file: read, or set aside untouched when binary.
    static QTemporaryDir dir;
    const QString path = dir.path() + "/fuzz.ini";
    QFile::remove(path);
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(text) != text.size()) Fail("cannot write");
    }
    TIniFile file;
    const TIniFile::LoadResult result = file.Open(path);
    if (result == TIniFile::LoadResult::SetAside) {
        QFile kept(file.SetAsidePath());
        if (!kept.open(QIODevice::ReadOnly) || kept.readAll() != text)
            Fail("a file set aside was changed");
        QFile::remove(file.SetAsidePath());
    } else if (Dump(file) != Dump(ini)) {
        Fail("a file reads differently from its text");
    }
    return 0;
}
