// The configuration's editing session without a window: the channels' and the schedule's
// working copies, the ranges, the enabling rules, the passwords, the storage capacity and
// OK/Cancel against the stores.
#include <QDir>
#include <QFileInfo>

#include "ConfigStoresFixture.h"
#include "SupervisionTexts.h"
#include "TConfigSession.h"

namespace T = SupervisionTexts;
using S = TConfigSession;

namespace {

class ConfigSessionTest : public ConfigStoresFixture {
protected:
    void TearDown() override {
        session.reset();
        ConfigStoresFixture::TearDown();
    }

    // The session loaded as at a program start, then opened as each show opens it.
    TConfigSession& Open() {
        session = std::make_unique<TConfigSession>(*globals, settings, *channels, table.get());
        session->Load();
        session->Begin();
        return *session;
    }
    TConfigSession& Restart() {
        session.reset();
        table.reset();
        OpenStores();
        return Open();
    }
    bool StoredBool(int channel, const char* field) {
        EXPECT_TRUE(table->Locate("Channel", TVolgaValue(channel)));
        return table->FieldByName(field).AsBoolean();
    }
    QTime StoredTime(int channel, const char* field) {
        EXPECT_TRUE(table->Locate("Channel", TVolgaValue(channel)));
        return FromDateTime(table->FieldByName(field).AsDateTime()).time();
    }

    std::unique_ptr<TConfigSession> session;
};

}  // namespace

TEST_F(ConfigSessionTest, OperationIsEditedInAWorkingCopyUntilOk) {
    TConfigSession& s = Open();
    Tchannel& c1 = (*channels)[1];
    s.SelectChannel(1);
    ASSERT_EQ(s.Channel(), &c1);
    EXPECT_TRUE(s.StopEnabled());
    EXPECT_FALSE(s.StartEnabled());
    s.StopChannel();
    EXPECT_FALSE(c1.OperationEdit);
    EXPECT_TRUE(c1.Operation);  // in force only at OK
    EXPECT_TRUE(s.StartEnabled());
    EXPECT_FALSE(s.StopEnabled());
    EXPECT_TRUE((*channels)[0].OperationEdit);  // the other channel untouched

    // Cancel drops the edit; the next show starts from the value in force.
    s.Cancel();
    EXPECT_TRUE(c1.Operation);
    s.Begin();
    EXPECT_TRUE(s.OperationOn());

    // OK puts it in force and into the table; Start sets the channel idle.
    s.StopChannel();
    ASSERT_TRUE(s.Ok());
    EXPECT_FALSE(c1.Operation);
    EXPECT_FALSE(StoredBool(1, "Operation"));
    c1.Idle = false;
    s.Begin();
    s.StartChannel();
    EXPECT_TRUE(c1.OperationEdit);
    EXPECT_TRUE(c1.Idle);
    s.Cancel();
    EXPECT_FALSE(c1.Operation);  // back to the stored value, not the edit

    // No channel selected: nothing is edited and neither button is offered.
    s.SelectChannel(2);
    EXPECT_EQ(s.Channel(), nullptr);
    s.StartChannel();
    s.SetTag("lost");
    EXPECT_FALSE(s.StartEnabled());
    EXPECT_FALSE(s.StopEnabled());
    EXPECT_EQ(c1.Tag, "#1");
    EXPECT_EQ(s.ChannelItem(1), "channel 1");
}

TEST_F(ConfigSessionTest, LineSettingsAreLiveHeldToTheirRangesAndRevertedByCancel) {
    TConfigSession& s = Open();
    s.SelectChannel(0);
    s.SetTag("ABCDEFGHIJKLMNOPQRSTUVWXY");  // 25 characters
    s.SetTrigger(0);
    s.SetRunOn(200000);
    s.SetRecordingGain(-9);
    s.SetPlayGain(4);
    s.SetLevelOn(40);
    s.SetDtrmVoltage(0);
    s.SetAgc(true);
    const Tchannel& c0 = (*channels)[0];
    EXPECT_EQ(c0.Tag, "ABCDEFGHIJKLMNOPQRSTUVWX");
    EXPECT_EQ(c0.Trigger, 0);
    EXPECT_EQ(c0.RunOn, 100000);
    EXPECT_EQ(c0.RecordingGain, -6);
    EXPECT_EQ(c0.PlayGain, 4);
    EXPECT_EQ(c0.LevelOn, 31);
    EXPECT_EQ(c0.DtrmVoltage, 1);
    EXPECT_TRUE(c0.Agc);
    EXPECT_EQ((*channels)[1].Tag, "#1");

    s.Cancel();
    EXPECT_EQ(c0.Tag, "#0");
    EXPECT_EQ(c0.Trigger, 1);
    EXPECT_EQ(c0.RunOn, 2000);
    EXPECT_FALSE(c0.Agc);

    // Stored with 20 characters, so a restart shows 20.
    s.Begin();
    s.SetTag("ABCDEFGHIJKLMNOPQRSTUVWXY");
    ASSERT_TRUE(s.Ok());
    Restart();
    EXPECT_EQ((*channels)[0].Tag, "ABCDEFGHIJKLMNOPQRST");
}

TEST_F(ConfigSessionTest, RangeMessagesNameTheLimitTheFieldFallsBackTo) {
    EXPECT_EQ(S::RunOnRangeMessage(999), T::kValueOutOfLimits);
    EXPECT_EQ(S::RunOnRangeMessage(100001), T::kValueOutOfLimits);
    EXPECT_EQ(S::RunOnRangeMessage(1000), QString());
    EXPECT_EQ(S::RunOnRangeMessage(100000), QString());
    EXPECT_EQ(S::GainRangeMessage(7), "Value out of limits. Maximum value is set to 6");
    EXPECT_EQ(S::GainRangeMessage(-7), "Value out of limits. Minimum value is set to -6");
    EXPECT_EQ(S::GainRangeMessage(6), QString());
    EXPECT_EQ(S::GainRangeMessage(-6), QString());
    EXPECT_EQ(S::kRunOn.Clamp(-(qint64(1) << 40)), 1000);
}

TEST_F(ConfigSessionTest, ScheduleEditsStayInEachChannelsWorkingCopyUntilOk) {
    TConfigSession& s = Open();
    s.SelectScheduleChannel(0);
    s.SetFullDay(2, false);
    s.SetDayStart(2, QTime(8, 0));
    s.SetDayStop(2, QTime(12, 30));
    s.SelectScheduleChannel(1);
    EXPECT_TRUE(s.Day(2).FullTime);  // channel 1 has its own copy
    s.SetDayEnabled(1, false);
    s.SelectScheduleChannel(0);
    EXPECT_FALSE(s.Day(2).FullTime);
    EXPECT_EQ(s.DayStart(2), QTime(8, 0));
    EXPECT_TRUE(s.Day(1).En);
    EXPECT_TRUE((*channels)[0].Schedule[2].FullTime);  // nothing in force yet

    // Cancel drops both channels' edits.
    s.Cancel();
    s.Begin();
    EXPECT_TRUE(s.Day(2).FullTime);
    s.SelectScheduleChannel(1);
    EXPECT_TRUE(s.Day(1).En);

    // OK puts them in force and into the table, to the second.
    s.SelectScheduleChannel(0);
    s.SetFullDay(2, false);
    s.SetDayStart(2, QTime(8, 0));
    s.SetDayStop(2, QTime(23, 59, 59));
    ASSERT_TRUE(s.Ok());
    EXPECT_FALSE((*channels)[0].Schedule[2].FullTime);
    EXPECT_FALSE(StoredBool(0, "D2FullTime"));
    EXPECT_EQ(StoredTime(0, "D2Start"), QTime(8, 0));
    EXPECT_EQ(StoredTime(0, "D2Stop"), QTime(23, 59, 59));
    TConfigSession& again = Restart();
    again.SelectScheduleChannel(0);
    EXPECT_EQ(again.DayStop(2), QTime(23, 59, 59));
    EXPECT_TRUE(again.DayTimesEnabled(2));
}

TEST_F(ConfigSessionTest, DayRulesFollowTheDayAndTheWholeDay) {
    TConfigSession& s = Open();
    s.SelectScheduleChannel(1);
    struct Case {
        bool En, Full, FullOffered, TimesOffered;
    };
    for (const Case& c : {Case{true, true, true, false}, Case{true, false, true, true},
                          Case{false, false, false, false}, Case{false, true, false, false}}) {
        s.SetDayEnabled(5, c.En);
        s.SetFullDay(5, c.Full);
        EXPECT_EQ(s.FullDayEnabled(5), c.FullOffered) << c.En << c.Full;
        EXPECT_EQ(s.DayTimesEnabled(5), c.TimesOffered) << c.En << c.Full;
    }
    EXPECT_TRUE(s.DayTimesEnabled(4) == false && s.FullDayEnabled(4));  // other days untouched
    // With no channel selected the days are edited in a copy of their own.
    s.SelectScheduleChannel(-1);
    s.SetFullDay(3, false);
    EXPECT_TRUE(s.DayTimesEnabled(3));
    EXPECT_TRUE((*channels)[0].ScheduleEdit[3].FullTime);
    EXPECT_TRUE((*channels)[1].ScheduleEdit[3].FullTime);
}

TEST_F(ConfigSessionTest, SwitchingAPasswordOnAsksForItFirst) {
    TConfigSession& s = Open();
    // Nobody to ask: the password stays off.
    s.SetPasswordOn(S::Administrator, true);
    EXPECT_FALSE(s.PasswordOn(S::Administrator));

    QList<int> asked;
    bool given = false;
    s.AskNewPassword = [&](S::PasswordKind kind) {
        asked << kind;
        if (given)
            (kind == S::Administrator ? s.Store().AdminPassword : s.Store().AccessPassword) =
                "Geheim";
        return given;
    };
    // The prompt refused: still off.
    s.SetPasswordOn(S::Access, true);
    EXPECT_FALSE(s.PasswordOn(S::Access));
    EXPECT_FALSE(s.ChangeEnabled(S::Access));
    s.ChangePassword(S::Access);  // not offered while off
    EXPECT_EQ(asked, (QList<int>{S::Access}));

    given = true;
    s.SetPasswordOn(S::Administrator, true);
    EXPECT_TRUE(s.PasswordOn(S::Administrator));
    EXPECT_TRUE(s.ChangeEnabled(S::Administrator));
    EXPECT_TRUE(settings.cbxAdminPass);
    s.ChangePassword(S::Administrator);
    EXPECT_EQ(asked, (QList<int>{S::Access, S::Administrator, S::Administrator}));

    // Cancel drops it.
    s.Cancel();
    EXPECT_FALSE(s.PasswordOn(S::Administrator));
    EXPECT_TRUE(s.Store().AdminPassword.isEmpty());

    // OK stores it enciphered; switching off asks nothing and stores the empty text.
    s.Begin();
    s.SetPasswordOn(S::Access, true);
    ASSERT_TRUE(s.Ok());
    EXPECT_TRUE(TIniFile(RegistryPath()).ReadBool("General", "zilota", false));
    EXPECT_EQ(
        s.Store().crypt1.DecryptText(TIniFile(RegistryPath()).ReadString("General", "adida", "")),
        "Geheim");
    asked.clear();
    s.Begin();
    s.SetPasswordOn(S::Access, false);
    EXPECT_TRUE(asked.isEmpty());
    ASSERT_TRUE(s.Ok());
    TIniFile reg(RegistryPath());
    EXPECT_FALSE(reg.ReadBool("General", "zilota", true));
    EXPECT_EQ(s.Store().crypt1.DecryptText(reg.ReadString("General", "adida", "")), "");
}

TEST_F(ConfigSessionTest, CheckBoxRulesAndTheirStoredValues) {
    TConfigSession& s = Open();
    // Trimming: off clears the digits, and "" is stored.
    s.SetTrimDigits(true);
    EXPECT_TRUE(s.TrimDigitsEnabled());
    s.SetText(&TLiveSettings::edtTrimDigits, "00");
    s.SetTrimDigits(false);
    EXPECT_TRUE(settings.edtTrimDigits.isEmpty());
    EXPECT_FALSE(s.TrimDigitsEnabled());
    // Recycling and backing up exclude each other.
    EXPECT_FALSE(s.BackupFieldsEnabled());
    s.SetRecycleHdd(false);
    EXPECT_TRUE(s.BackupFieldsEnabled());
    // Defaults: mail, tool and inbound filter off; outbound filter and database copy on.
    EXPECT_FALSE(s.MailFieldsEnabled());
    EXPECT_FALSE(s.ToolFieldsEnabled());
    EXPECT_FALSE(s.InboundTimeEnabled());
    EXPECT_TRUE(s.OutboundTimeEnabled());
    EXPECT_TRUE(s.BackupPeriodEnabled());
    s.SetMail(true);
    s.SetExternalTool(true);
    s.SetInboundFilter(true);
    s.SetOutboundFilter(false);
    s.SetBackupDb(false);
    EXPECT_TRUE(s.MailFieldsEnabled() && s.ToolFieldsEnabled() && s.InboundTimeEnabled());
    EXPECT_FALSE(s.OutboundTimeEnabled() || s.BackupPeriodEnabled());
    ASSERT_TRUE(s.Ok());
    TIniFile ini(IniPath());
    EXPECT_FALSE(ini.ReadBool("Backup", "RecycleHdd", true));
    EXPECT_TRUE(ini.ReadBool("Alarms", "smtpServerEnable", false));
    EXPECT_FALSE(ini.ReadBool("General", "outFilter", true));
    EXPECT_FALSE(ini.ReadBool("Backup", "backupDB", true));
    EXPECT_EQ(ini.ReadString("General", "TrimDigits", "x"), "");

    // Cancel reads every one of them back.
    s.Begin();
    s.SetMail(false);
    s.SetRecycleHdd(true);
    s.Cancel();
    EXPECT_TRUE(s.MailFieldsEnabled());
    EXPECT_TRUE(s.BackupFieldsEnabled());
}

TEST_F(ConfigSessionTest, CompressionIsLiveAndCancelRestoresIt) {
    TConfigSession& s = Open();
    s.SetCompressionItem(3);
    EXPECT_EQ(settings.CompressionTag, 49);
    EXPECT_EQ(settings.cbxCompression, 3);
    s.SetCompressionItem(-1);  // no item, or none of the five: ignored
    s.SetCompressionItem(5);
    EXPECT_EQ(settings.CompressionTag, 49);
    s.Cancel();
    EXPECT_EQ(settings.CompressionTag, 6);
    EXPECT_EQ(settings.cbxCompression, 0);
    s.Begin();
    s.SetCompressionItem(4);
    ASSERT_TRUE(s.Ok());
    EXPECT_EQ(TIniFile(IniPath()).ReadInteger("General", "Compression", 0), 85);
}

TEST_F(ConfigSessionTest, OnDemandKeysKeepTheirCharactersAndAnEmptyKeyKeepsTheStoredOne) {
    TConfigSession& s = Open();
    s.SetStartKey(" *1a2 #b");
    s.SetStopKey("x#9y0");
    EXPECT_EQ(settings.edtStart, "*12#");
    EXPECT_EQ(settings.edtStop, "#90");
    ASSERT_TRUE(s.Ok());
    s.Begin();
    s.SetStartKey("abc");  // nothing left
    ASSERT_TRUE(s.Ok());
    TIniFile ini(IniPath());
    EXPECT_EQ(ini.ReadString("General", "onDemStart", ""), "*12#");
    EXPECT_EQ(ini.ReadString("General", "onDemStop", ""), "#90");
    EXPECT_EQ(settings.edtStart, "*12#");
}

TEST_F(ConfigSessionTest, CapacityClimbsWithinItsLimitMeasuredWhereTheRecordingsAre) {
    TIniFile(IniPath()).WriteString("General", "StorageCapacity", "500");
    volume.Free = 1100LL * 1048576;  // 1000 MB above the reserve
    OpenStores();
    TConfigSession& s = Open();
    globals->UsedSpaceKb = 480 * 1024;
    EXPECT_EQ(s.CapacityLimit(), 1000);
    EXPECT_EQ(s.FreeMb(), 20);
    s.SetCapacity(400);  // 80 MB short: up by 100
    EXPECT_EQ(s.Capacity(), 500);
    s.SetCapacity(5000);  // held to the limit
    EXPECT_EQ(s.Capacity(), 1000);
    globals->UsedSpaceKb = 1000 * 1024;
    s.SetCapacity(0);  // climbs from 0 and is stopped by the limit with nothing free
    EXPECT_EQ(s.Capacity(), 1000);
    EXPECT_EQ(s.FreeMb(), 0);

    // Another folder: the limit is measured on its volume, and never below the capacity.
    globals->UsedSpaceKb = 0;
    s.SetCapacity(100);
    volume.Free = 300LL * 1048576;
    volume.Asked.clear();
    s.ChooseSaveFolder(home.Root() + "/elsewhere//rec");
    EXPECT_EQ(settings.edtFolder, home.Root() + "/elsewhere/rec/");
    EXPECT_EQ(volume.Asked.value(0), home.Root() + "/elsewhere/rec/");
    EXPECT_EQ(s.CapacityLimit(), 200);
    s.SetCapacity(5000);
    EXPECT_EQ(s.Capacity(), 200);
    s.ChooseSaveFolder(QString());  // cancelled
    EXPECT_EQ(settings.edtFolder, home.Root() + "/elsewhere/rec/");

    // A full volume: the stored capacity is kept as it is.
    ASSERT_TRUE(s.Ok());
    volume.Free = 10LL * 1048576;
    s.Begin();
    EXPECT_EQ(s.CapacityLimit(), s.Capacity());
}

TEST_F(ConfigSessionTest, PickersStartWhereTheCurrentChoiceIs) {
    TConfigSession& s = Open();
    const QString data = globals->AppDataDir;
    EXPECT_EQ(s.SaveFolderStart(), data + "/wav/");
    EXPECT_EQ(s.BackupFolderStart(), data + "/backup/");
    settings.edtFolder = home.Root() + "/gone/";
    EXPECT_EQ(s.SaveFolderStart(), data + "/wav/");  // the default when it still exists
    QDir(data + "/wav").removeRecursively();
    EXPECT_EQ(s.SaveFolderStart(), QDir::homePath());
    s.ChooseBackupFolder(home.Root() + "/a/../b");
    EXPECT_EQ(settings.edtbackupFolder, home.Root() + "/b/");
    EXPECT_EQ(s.BackupFolderStart(), QDir::homePath());  // not made yet

    EXPECT_EQ(s.ExecutableStart(), QDir::homePath());
    s.ChooseExecutable("/opt/tools/viewer");
    s.ChooseExecutable(QString());  // cancelled
    EXPECT_EQ(settings.ToolExecutable, "/opt/tools/viewer");
    EXPECT_EQ(s.ExecutableName(), "viewer");
    EXPECT_EQ(s.ExecutableStart(), "/opt/tools");
}
