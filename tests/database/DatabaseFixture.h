// A data folder of its own, the program's stores and a recording message sink for each test.
#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "SystemFormat.h"
#include "TClock.h"
#include "TEventLog.h"
#include "TLiveSettings.h"
#include "TMessages.h"
#include "TPelmGlobals.h"
#include "TTestClock.h"
#include "TUniqueId.h"

class RecordingMessages : public TMessages {
public:
    QStringList shown;
    bool confirmAnswer = true;
    QStringList asked;
    QString inputAnswer;
    bool inputOk = true;
    void Show(const QString& text) override { shown << text; }
    bool Confirm(const QString& text) override {
        asked << text;
        return confirmAnswer;
    }
    bool InputQuery(const QString&, const QString&, QString& value) override {
        if (inputOk) value = inputAnswer;
        return inputOk;
    }
    // Choices are answered in turn from `chooseAnswers`, then as closed (-1).
    QStringList choices;
    QList<int> chooseAnswers;
    int Choose(const QString& text, const QStringList&) override {
        choices << text;
        return chooseAnswers.isEmpty() ? -1 : chooseAnswers.takeFirst();
    }
    QString folderAnswer;  // empty: the picker is cancelled
    bool ChooseFolder(const QString&, QString& folder) override {
        if (folderAnswer.isEmpty()) return false;
        folder = folderAnswer;
        return true;
    }
};

class DatabaseFixture : public ::testing::Test {
protected:
    void SetUp() override {
        SetSystemFormat(TVolgaFormatSettings::Iso());
        TClock::Install(&clock);
        TMessages::Install(&messages);
        TEventLog::SetInstance(&log);
        ResetUniqueIdCounter();
        globals.AppDataDir = dir.path() + "/data";
        QDir().mkpath(globals.AppDataDir);
        globals.SettingsIni.Open(globals.AppDataDir + "/Pelmorant.ini");
        globals.UsedSpaceKb = 0;
        settings = TLiveSettings();
        settings.edtFolder = dir.path() + "/wav/";
        QDir().mkpath(settings.edtFolder);
    }
    void TearDown() override {
        TClock::Install(nullptr);
        TMessages::Install(nullptr);
        TEventLog::SetInstance(nullptr);
    }
    void WriteRecording(const QString& name, qint64 bytes) {
        QFile f(settings.edtFolder + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(bytes, 'x'));
    }

    QTemporaryDir dir;
    TTestClock clock;
    RecordingMessages messages;
    TEventLog log;
    TPelmGlobals globals;
    TLiveSettings settings;
};
