// The configuration's stores: every user setting in SettingsIni with its default written back on
// a first start, the per-channel settings in the Channels table (with the one-time import of the
// older "channel N" sections), the two passwords in SettingsRegistry, and start-up
// registration. It loads into and stores from the live settings and the channel table; the
// configuration window only shows and edits them.
#pragma once

#include <QPoint>
#include <QString>
#include <QStringList>

#include "TPasswordCipher.h"

class TChannelTable;
class TLiveSettings;
class TPelmGlobals;
class TVolgaTable;
struct Tchannel;

class TConfigStore {
public:
    // `channelsTable` may be null or closed: the channels then keep their defaults in memory.
    TConfigStore(TPelmGlobals& globals, TLiveSettings& settings, TChannelTable& channels,
                 TVolgaTable* channelsTable);

    // The cipher of the stored passwords, and the passwords in force (plain text, memory only).
    TPasswordCipher crypt1;
    QString AdminPassword;
    QString AccessPassword;

    // Start-up load: legacy import, one record per channel (created with the defaults when
    // missing), every key (a missing one is written with its default), start-up registration
    // on a first start, the passwords.
    void Load();
    void ImportLegacyChannelSections();

    // Each show of the configuration: the channels' working copies from the values in force,
    // and every setting except the compression read again from the stores.
    void PrepareShow();
    // OK: channels and settings written to their stores. Table errors are thrown (EVolgaError);
    // a settings file that could not be written gives false and `error`.
    bool Commit(QString* error = nullptr);
    // Cancel: channels, compression, passwords and settings back to their stored values.
    void Revert();

    // Reads every SettingsIni setting except the compression into the live settings.
    void ReadSettings();
    // The passwords' check boxes from the flags in SettingsRegistry.
    void ReadPasswordFlags();

    // Storage page figures.
    int UsedMb() const;
    // Free MB of the volume holding `folder` less 100 MB, never below 0.
    static int CapacityMaximum(const QString& folder);
    // The capacity after the storage page's raise: up in steps of 100 while less than 1 MB
    // would be free, never above `maximum`.
    static int ClimbCapacity(int capacity, int usedMb, int maximum);
    // The stored recordings folder.
    QString StoredSaveFolder() const;

    // Field rules.
    static QString FilterKeys(const QString& text);  // only "0123456789*#" stay
    static QString CutTag(const QString& tag);       // at most 24 characters
    static constexpr int kTagLength = 24;

    // The dialog's position ("ConfigTop", "ConfigLeft").
    QPoint DialogPosition() const;
    void SaveDialogPosition(const QPoint& topLeft);

    QString DefaultSaveFolder() const;
    QString DefaultBackupFolder() const;

    TPelmGlobals& Globals() const { return globals_; }
    TLiveSettings& Settings() const { return settings_; }
    TChannelTable& Channels() const { return channels_; }

    // Copies between a Channels record (the table's current record) and a channel.
    static void RecordToChannel(TVolgaTable& table, Tchannel& channel);
    static void ChannelToRecord(const Tchannel& channel, TVolgaTable& table);
    static void SetChannelDefaults(Tchannel& channel, int number);

private:
    bool TableUsable() const;
    bool LocateChannel(int number) const;
    void LoadChannels();
    void LoadPasswords();
    void LoadPassword(const char* flagKey, const char* cipherKey, QString& password,
                      bool& checkBox, const char* unreadableText);
    QString Decipher(const QString& cipherText, const char* unreadableText) const;
    void ApplyCompressionTag(int tag);
    void ReadIntoSettings(bool writeMissing);
    void RegisterStartup(bool on);

    TPelmGlobals& globals_;
    TLiveSettings& settings_;
    TChannelTable& channels_;
    TVolgaTable* table_;
};
