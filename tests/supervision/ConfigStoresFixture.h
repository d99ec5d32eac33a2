// Per test: fresh XDG folders, the program's stores over them, a Channels table, two channels,
// and stand-ins for the volume's free space, start-up registration, message boxes and the log.
// No window: the configuration's session tests use it under a core application object.
#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <memory>

#include "TFreshUserDirs.h"
#include "DatabaseFixture.h"
#include "TChannelTable.h"
#include "TConfigStore.h"
#include "TStartupRegistration.h"
#include "TVolgaDatabase.h"
#include "TVolgaTable.h"
#include "TVolumeSpace.h"
#include "TfmPelmorantDB.h"

class FakeVolumeSpace : public TVolumeSpace {
public:
    qint64 Free = 20LL * 1024 * 1024 * 1024;  // 20 GiB
    mutable QStringList Asked;
    qint64 FreeBytes(const QString& folder) const override {
        Asked << folder;
        return Free;
    }
    QStringList Volumes() const override { return {"/", "/media/backup"}; }
};

class FakeStartupRegistration : public TStartupRegistration {
public:
    int Registered = 0, Removed = 0;
    bool Fails = false;
    bool Register(QString* error) override {
        ++Registered;
        if (Fails && error) *error = "read-only";
        return !Fails;
    }
    bool Unregister(QString* error) override {
        ++Removed;
        if (Fails && error) *error = "read-only";
        return !Fails;
    }
    bool IsRegistered() const override { return Registered > Removed; }
};

class ConfigStoresFixture : public ::testing::Test {
protected:
    void SetUp() override {
        SetSystemFormat(TVolgaFormatSettings::Iso());
        TMessages::Install(&messages);
        TEventLog::SetInstance(&log);
        TVolumeSpace::Install(&volume);
        TStartupRegistration::Install(&startup);
        TClock::Install(&clock);
        globals = std::make_unique<TPelmGlobals>();
        globals->AppDataDir = home.Root() + "/data/Pelmorant";
        QDir().mkpath(globals->AppDataDir);
        QDir().mkpath(home.Root() + "/config/Pelmorant");
        OpenStores();
    }
    // A fixture that adds a user of the table releases it before calling this.
    void TearDown() override {
        table.reset();
        TMessages::Install(nullptr);
        TEventLog::SetInstance(nullptr);
        TVolumeSpace::Install(nullptr);
        TStartupRegistration::Install(nullptr);
        TClock::Install(nullptr);
    }

    QString IniPath() const { return globals->AppDataDir + "/Pelmorant.ini"; }
    QString RegistryPath() const { return home.Root() + "/config/Pelmorant/registry.ini"; }

    // The stores and tables as a program start opens them.
    void OpenStores() {
        globals->SettingsIni.Open(IniPath());
        globals->SettingsRegistry.Open(RegistryPath());
        settings = TLiveSettings();
        channels = std::make_unique<TChannelTable>();
        channels->InitChannels(2);
        db.SetDatabasePath(globals->AppDataDir.toStdString());
        table = std::make_unique<TVolgaTable>(&db);
        table->Name = "tblChannels";
        table->SetTableName("Channels.d");
        if (QFileInfo::exists(globals->AppDataDir + "/Channels.d")) {
            table->Open();
        } else {
            table->FieldDefs = TfmPelmorantDB::ChannelsFields();
            table->CreateTable();
        }
    }

    QStringList LogLines() const { return log.Lines(); }
    bool Logged(const QString& text) const {
        for (const QString& l : log.Lines())
            if (l.contains(text)) return true;
        return false;
    }

    TFreshUserDirs home;
    RecordingMessages messages;
    TEventLog log;
    FakeVolumeSpace volume;
    FakeStartupRegistration startup;
    TTestClock clock;
    std::unique_ptr<TPelmGlobals> globals;
    TLiveSettings settings;
    std::unique_ptr<TChannelTable> channels;
    TVolgaDatabase db;
    std::unique_ptr<TVolgaTable> table;
};
