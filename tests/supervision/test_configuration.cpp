// The configuration: first start, legacy import, the channels' OK/Cancel/close, the general
// settings, the storage page and start-up registration.
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>
#include <QTest>

#include "SupervisionFixture.h"
#include "SupervisionTexts.h"
#include "TLedImage.h"
#include "TPieChart.h"
#include "TSpinEdit.h"

namespace T = SupervisionTexts;

namespace {

class ConfigurationTest : public SupervisionFixture {
protected:
    // The channel record of a channel number, as stored in the table file.
    QString StoredTag(int channel) {
        EXPECT_TRUE(table->Locate("Channel", TVolgaValue(channel)));
        return QString::fromStdString(table->FieldByName("Tag").AsString());
    }
    int StoredInt(int channel, const char* field) {
        EXPECT_TRUE(table->Locate("Channel", TVolgaValue(channel)));
        return static_cast<int>(table->FieldByName(field).AsInteger());
    }
};

// Every key of the configuration, section by section.
const std::vector<std::pair<QString, QStringList>> kAllKeys = {
    {"General",
     {"Compression", "selectiveRec", "SaveFolder", "StorageCapacity", "onDemStart", "onDemStop",
      "StartUp", "PostByDate", "saveCallerName", "cbxTrimDigits", "TrimDigits", "InFilter",
      "InFilterDuration", "outFilter", "outFilterDuration", "Export Format"}},
    {"Alarms",
     {"Hardware failure", "HDD full", "Call overtime", "Call overtime value", "Software error",
      "Thread failure", "AudioEnable", "spnAlarmDuration", "smtpServerEnable", "smtpServer",
      "smtpServerUserID", "Recipient1", "Recipient2", "Recipient3"}},
    {"External tool", {"caption", "comLine", "Executable", "ToolEnable"}},
    {"Backup",
     {"RecycleHdd", "backupCapacity", "backupFolder", "BackupDevice", "backupDB", "backupDBperiod"}},
};

}  // namespace

TEST_F(ConfigurationTest, FirstStartWritesEveryKeyCreatesFoldersAndRegisters) {
    TStartupRegistration::Install(nullptr);  // the real autostart entry, in the test's folders
    volume.Free = 5000LL * 1048576 + 12345;
    ASSERT_FALSE(QFileInfo::exists(IniPath()));
    TfmConfig& dlg = CreateConfig();

    TIniFile ini(IniPath());  // what is on disk
    for (const auto& [section, keys] : kAllKeys)
        for (const QString& key : keys) EXPECT_TRUE(ini.ValueExists(section, key)) << (section + "/" + key).toStdString();
    const QString data = globals->AppDataDir;
    EXPECT_EQ(ini.ReadString("General", "SaveFolder", ""), data + "/wav/");
    EXPECT_EQ(ini.ReadString("Backup", "backupFolder", ""), data + "/backup/");
    EXPECT_TRUE(QFileInfo(data + "/wav").isDir());
    EXPECT_TRUE(QFileInfo(data + "/backup").isDir());
    EXPECT_EQ(ini.ReadInteger("General", "StorageCapacity", -1), 4900);  // free less 100 MB
    EXPECT_EQ(volume.Asked.last(), data + "/wav/");
    EXPECT_EQ(ini.ReadInteger("General", "Compression", 0), 6);
    EXPECT_EQ(ini.ReadString("General", "outFilterDuration", ""), "2");
    EXPECT_EQ(ini.ReadString("General", "onDemStart", ""), "*1");

    // Start-up: the autostart entry runs this program with STARTUP.
    QFile entry(TStartupRegistration::EntryFileName());
    EXPECT_EQ(entry.fileName(), home.Root() + "/config/autostart/Pelmorant.desktop");
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(entry.readAll());
    EXPECT_TRUE(text.contains("\nExec=\"" + QCoreApplication::applicationFilePath() + "\" STARTUP\n"))
        << text.toStdString();
    EXPECT_TRUE(Logged(T::kProgramOnStartup));

    // Passwords off, each stored as the 12-character cipher text of the empty text.
    TIniFile reg(RegistryPath());
    EXPECT_EQ(reg.ReadString("General", "delato", ""), "0");
    EXPECT_EQ(reg.ReadString("General", "zilota", ""), "0");
    EXPECT_EQ(reg.ReadString("General", "feroto", "").size(), 12);
    EXPECT_EQ(reg.ReadString("General", "adida", ""), dlg.Store().crypt1.EncryptText(""));

    // The live values are the stored ones, and the controls show them.
    EXPECT_EQ(settings.cbxRecordCalls, 2);
    EXPECT_EQ(dlg.cbxRecordCalls->currentText(), "All");
    EXPECT_EQ(settings.spnOutboundTime, 2);
    EXPECT_EQ(dlg.spnOutboundTime->value(), 2);
    EXPECT_EQ(settings.spnInboundTime, 10);
    EXPECT_EQ(settings.edtFolder, data + "/wav/");
    EXPECT_EQ(settings.speMainStorageCap, 4900);
    EXPECT_TRUE(settings.cbxStartup);
    EXPECT_EQ(settings.CompressionTag, 6);
    EXPECT_EQ(settings.spnCallOvertime, 180);
    EXPECT_FALSE(settings.cbxAdminPass);

    // One record per channel with the defaults.
    EXPECT_EQ(table->RecordCount(), 2);
    EXPECT_EQ(StoredTag(1), "#1");
    EXPECT_EQ(StoredInt(1, "RunOn"), 2000);
    EXPECT_TRUE((*channels)[0].Operation);
    EXPECT_EQ((*channels)[1].Tag, "#1");
    EXPECT_TRUE((*channels)[0].Schedule[3].FullTime);

    // A second start neither registers again nor rewrites what is there.
    startup.Registered = 0;
    TStartupRegistration::Install(&startup);
    Restart();
    EXPECT_EQ(startup.Registered, 0);
    EXPECT_EQ(table->RecordCount(), 2);
    EXPECT_EQ(settings.speMainStorageCap, 4900);
}

TEST_F(ConfigurationTest, StoredValuesAreReadAndHeldToTheirRanges) {
    {
        TIniFile ini(IniPath());
        ini.WriteString("General", "selectiveRec", "1");
        ini.WriteString("General", "InFilterDuration", "500");  // above 100
        ini.WriteString("Alarms", "Call overtime", "7");         // any non-zero is true
        ini.WriteString("Alarms", "smtpServer", "mail.example");
        ini.WriteString("External tool", "Executable", "/opt/tools/viewer");
        ini.WriteString("General", "StartUp", "0");
        ini.WriteString("General", "cbxTrimDigits", "1");
        ini.WriteString("General", "TrimDigits", "00");
    }
    OpenStores();
    TfmConfig& dlg = CreateConfig();
    EXPECT_EQ(startup.Registered, 0);  // StartUp present: only the box follows it
    EXPECT_FALSE(dlg.cbxStartup->isChecked());
    EXPECT_EQ(settings.cbxRecordCalls, 1);
    EXPECT_EQ(settings.spnInboundTime, 100);
    EXPECT_TRUE(settings.chkCalloverAl);
    EXPECT_EQ(settings.edtServerName, "mail.example");
    EXPECT_EQ(settings.ToolExecutable, "/opt/tools/viewer");
    EXPECT_EQ(dlg.stxExe->text(), "viewer");
    EXPECT_EQ(settings.edtTrimDigits, "00");
    EXPECT_TRUE(dlg.edtTrimDigits->isEnabled());
}

TEST_F(ConfigurationTest, LegacyChannelSectionsAreImportedOnceAndErased) {
    {
        TIniFile ini(IniPath());
        ini.WriteString("Channel 0", "Operation", "1");
        ini.WriteString("Channel 0", "Trigger", "2");
        ini.WriteString("Channel 0", "2", "0");  // Monday off
        ini.WriteString("Channel 0", "3start", "08:30:00");
        ini.WriteString("Channel 0", "3FullTime", "0");
        ini.WriteString("channel 1", "Level on", "20");
        ini.WriteString("channel 1", "Run on", "3000");
        ini.WriteString("channel 1", "AGC", "1");
    }
    QFile::remove(globals->AppDataDir + "/Channels.d");
    OpenStores();
    CreateConfig();

    ASSERT_EQ(table->RecordCount(), 2);
    const Tchannel& c0 = (*channels)[0];
    EXPECT_TRUE(c0.Operation);
    EXPECT_EQ(c0.Trigger, 2);
    EXPECT_EQ(c0.LevelOn, 16);  // missing keys take the legacy defaults
    EXPECT_EQ(c0.RunOn, 5000);
    EXPECT_EQ(c0.Tag, "#0");
    EXPECT_FALSE(c0.Schedule[2].En);
    EXPECT_FALSE(c0.Schedule[3].FullTime);
    EXPECT_EQ(FromDateTime(c0.Schedule[3].Start).time(), QTime(8, 30));
    EXPECT_EQ(FromDateTime(c0.Schedule[3].Stop).time(), QTime(17, 0));
    const Tchannel& c1 = (*channels)[1];
    EXPECT_FALSE(c1.Operation);  // the legacy default
    EXPECT_EQ(c1.LevelOn, 20);
    EXPECT_EQ(c1.RunOn, 3000);
    EXPECT_TRUE(c1.Agc);

    TIniFile ini(IniPath());
    EXPECT_FALSE(ini.SectionExists("channel 0"));
    EXPECT_FALSE(ini.SectionExists("channel 1"));
    // The table holds them from now on.
    Restart();
    EXPECT_EQ(table->RecordCount(), 2);
    EXPECT_EQ((*channels)[1].RunOn, 3000);
    EXPECT_EQ((*channels)[0].Trigger, 2);
}

TEST_F(ConfigurationTest, LegacySectionsNeverDuplicateRecordsTheTableHas) {
    CreateConfig();
    TIniFile(IniPath()).WriteString("Channel 0", "Run on", "9000");
    Restart();
    EXPECT_EQ(table->RecordCount(), 2);
    EXPECT_EQ((*channels)[0].RunOn, 2000);
    EXPECT_FALSE(TIniFile(IniPath()).SectionExists("channel 0"));
}

TEST_F(ConfigurationTest, ChannelSettingsOkCancelAndTitleBarClose) {
    TfmConfig& dlg = CreateConfig();
    Show();
    dlg.lbxChannels->setCurrentRow(1);
    dlg.edtTag->setText("Front desk");
    dlg.rbVox->click();
    dlg.spnLevelOn->setValue(20);
    dlg.btnStop->click();
    Tchannel& c1 = (*channels)[1];
    // Line settings are live at once; the operation only at OK.
    EXPECT_EQ(c1.Tag, "Front desk");
    EXPECT_EQ(c1.Trigger, 0);
    EXPECT_EQ(c1.LevelOn, 20);
    EXPECT_TRUE(c1.Operation);
    EXPECT_FALSE(dlg.btnStop->isEnabled());
    EXPECT_EQ(dlg.Led1->Tag(), 0);

    // Cancel: everything back from the table.
    dlg.btnCancel->click();
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(c1.Tag, "#1");
    EXPECT_EQ(c1.Trigger, 1);
    EXPECT_EQ(c1.LevelOn, 16);
    EXPECT_TRUE(c1.Operation);

    // Start then Cancel leaves the operation as it was.
    c1.Operation = false;
    Show();
    EXPECT_EQ(dlg.lbxChannels->currentRow(), 1);  // the last channel selected
    dlg.btnStart->click();
    EXPECT_TRUE(c1.OperationEdit);
    dlg.btnCancel->click();
    EXPECT_TRUE(c1.Operation);  // reverted to the stored value, not the edit

    // OK stores the edits.
    Show();
    dlg.lbxChannels->setCurrentRow(1);
    dlg.edtTag->setText("Front desk");
    dlg.spnRunOn->setValue(4500);
    dlg.btnStop->click();
    dlg.btnOk->click();
    EXPECT_FALSE(c1.Operation);
    EXPECT_EQ(StoredTag(1), "Front desk");
    EXPECT_EQ(StoredInt(1, "RunOn"), 4500);
    EXPECT_EQ(StoredTag(0), "#0");

    // The title-bar close runs neither: the edit stays in force, the table keeps the old value.
    Show();
    dlg.lbxChannels->setCurrentRow(1);
    dlg.edtTag->setText("Back office");
    dlg.close();
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(c1.Tag, "Back office");
    EXPECT_EQ(StoredTag(1), "Front desk");

    // After a restart the stored values are in force.
    TfmConfig& again = Restart();
    EXPECT_EQ((*channels)[1].Tag, "Front desk");
    EXPECT_FALSE((*channels)[1].Operation);
    EXPECT_EQ((*channels)[1].RunOn, 4500);
    again.show();
    again.lbxChannels->setCurrentRow(1);
    EXPECT_TRUE(again.btnStart->isEnabled());
    EXPECT_FALSE(again.btnStop->isEnabled());
}

TEST_F(ConfigurationTest, ChannelRecordsOutOfOrderKeepTheirOwnSettings) {
    CreateConfig();
    // Channel 0's record is lost: it is made again, after channel 1's.
    ASSERT_TRUE(table->Locate("Channel", TVolgaValue(0)));
    table->Delete();
    table->SaveChanges();
    TfmConfig& dlg = Restart();
    Show();
    dlg.lbxChannels->setCurrentRow(0);
    dlg.edtTag->setText("zero");
    dlg.lbxChannels->setCurrentRow(1);
    dlg.edtTag->setText("one");
    dlg.btnOk->click();
    Restart();
    EXPECT_EQ((*channels)[0].Tag, "zero");
    EXPECT_EQ((*channels)[1].Tag, "one");
}

TEST_F(ConfigurationTest, ChannelTagIsCutTo24AndStoredWith20) {
    TfmConfig& dlg = CreateConfig();
    Show();
    const QString typed = "ABCDEFGHIJKLMNOPQRSTUVWXY";  // 25 characters
    dlg.edtTag->clear();
    QTest::keyClicks(dlg.edtTag, typed);
    EXPECT_EQ(dlg.edtTag->text(), typed.left(24));
    EXPECT_EQ((*channels)[0].Tag, typed.left(24));
    dlg.btnOk->click();
    EXPECT_EQ(StoredTag(0), typed.left(20));
    Restart();
    EXPECT_EQ((*channels)[0].Tag, typed.left(20));
}

TEST_F(ConfigurationTest, CompressionIsLiveCancelRestoresOkStores) {
    TfmConfig& dlg = CreateConfig();
    Show();
    dlg.cbxCompression->setCurrentIndex(3);  // GSM
    EXPECT_EQ(settings.CompressionTag, 49);
    EXPECT_EQ(settings.cbxCompression, 3);
    dlg.btnCancel->click();
    EXPECT_EQ(settings.CompressionTag, 6);
    EXPECT_EQ(settings.cbxCompression, 0);

    // The title-bar close keeps the choice in force until the program ends.
    Show();
    EXPECT_EQ(dlg.cbxCompression->currentIndex(), 0);
    dlg.cbxCompression->setCurrentIndex(2);
    dlg.close();
    Show();
    EXPECT_EQ(dlg.cbxCompression->currentText(), "IMA ADPCM");
    EXPECT_EQ(settings.CompressionTag, 17);
    dlg.cbxCompression->setCurrentIndex(4);
    dlg.btnOk->click();
    EXPECT_EQ(TIniFile(IniPath()).ReadInteger("General", "Compression", 0), 85);
    Restart();
    EXPECT_EQ(settings.CompressionTag, 85);
    EXPECT_EQ(settings.cbxCompression, 4);
}

TEST_F(ConfigurationTest, UnknownCompressionTagStaysUntilOk) {
    TIniFile(IniPath()).WriteString("General", "Compression", "99");
    OpenStores();
    TfmConfig& dlg = CreateConfig();
    EXPECT_EQ(settings.CompressionTag, 99);
    Show();
    EXPECT_EQ(dlg.cbxCompression->currentIndex(), 0);  // the selection as it was
    EXPECT_EQ(settings.CompressionTag, 99);
    dlg.btnOk->click();
    EXPECT_EQ(settings.CompressionTag, 6);
    EXPECT_EQ(TIniFile(IniPath()).ReadInteger("General", "Compression", 0), 6);
}

TEST_F(ConfigurationTest, OtherSettingsCommitRevertAndTitleBarClose) {
    TfmConfig& dlg = CreateConfig();
    Show();
    dlg.cbxPostByDate->click();  // off
    dlg.spnCallOvertime->setValue(42);
    dlg.edtRecipient2->setText("ops@example.org");
    dlg.cbxRecordCalls->setCurrentIndex(0);
    dlg.chkRecycleHdd->click();  // backup mode
    EXPECT_TRUE(dlg.speBackupCap->isEnabled());
    EXPECT_FALSE(settings.cbxPostByDate);  // in force at once
    dlg.btnCancel->click();
    EXPECT_TRUE(settings.cbxPostByDate);
    EXPECT_EQ(settings.spnCallOvertime, 180);
    EXPECT_TRUE(settings.edtRecipient2.isEmpty());
    EXPECT_EQ(settings.cbxRecordCalls, 2);

    // Closed by the title bar: in force until the next show reads the store again.
    Show();
    dlg.cbxPostByDate->click();
    dlg.close();
    EXPECT_FALSE(settings.cbxPostByDate);
    Show();
    EXPECT_TRUE(settings.cbxPostByDate);
    EXPECT_TRUE(dlg.cbxPostByDate->isChecked());

    // OK writes them.
    dlg.spnCallOvertime->setValue(42);
    dlg.edtRecipient2->setText("ops@example.org");
    dlg.cbxRecordCalls->setCurrentIndex(0);
    dlg.rdExportFormatItems->button(3)->click();
    dlg.cbxTrimDigits->click();
    dlg.edtTrimDigits->setText("9");
    dlg.btnOk->click();
    TIniFile ini(IniPath());
    EXPECT_EQ(ini.ReadInteger("Alarms", "Call overtime value", 0), 42);
    EXPECT_EQ(ini.ReadString("Alarms", "Recipient2", ""), "ops@example.org");
    EXPECT_EQ(ini.ReadInteger("General", "selectiveRec", -1), 0);
    EXPECT_EQ(ini.ReadInteger("General", "Export Format", -1), 3);
    EXPECT_EQ(ini.ReadString("General", "TrimDigits", ""), "9");

    // Unchecking trimming clears and disables the digits, and stores "".
    Show();
    dlg.cbxTrimDigits->click();
    EXPECT_FALSE(dlg.edtTrimDigits->isEnabled());
    EXPECT_TRUE(dlg.edtTrimDigits->text().isEmpty());
    dlg.btnOk->click();
    EXPECT_EQ(TIniFile(IniPath()).ReadString("General", "TrimDigits", "x"), "");
}

TEST_F(ConfigurationTest, EnabledStatesFollowTheirCheckBoxes) {
    TfmConfig& dlg = CreateConfig();
    Show();
    EXPECT_FALSE(dlg.edtToolCaption->isEnabled());
    dlg.cbExtTool->click();
    EXPECT_TRUE(dlg.sbExeTool->isEnabled());
    EXPECT_FALSE(dlg.spnInboundTime->isEnabled());
    EXPECT_TRUE(dlg.spnOutboundTime->isEnabled());
    dlg.cbxInboundFilter->click();
    EXPECT_TRUE(dlg.spnInboundTime->isEnabled());
    EXPECT_TRUE(dlg.speBackupdb->isEnabled());
    dlg.chkBackupDb->click();
    EXPECT_FALSE(dlg.speBackupdb->isEnabled());
    EXPECT_FALSE(dlg.btnChangeAdm->isEnabled());
}

// "Medium mangagement": recycling leaves the backup capacity and folder alone; the folder is
// only ever chosen with the picker. Security: the copy period only while copies are kept.
TEST_F(ConfigurationTest, MediumAndDatabaseCopyFieldsFollowTheirCheckBoxes) {
    TfmConfig& dlg = CreateConfig();
    Show();
    ASSERT_TRUE(dlg.chkRecycleHdd->isChecked());
    EXPECT_FALSE(dlg.speBackupCap->isEnabled());
    EXPECT_FALSE(dlg.btnBackupFolder->isEnabled());
    EXPECT_TRUE(dlg.edtbackupFolder->isReadOnly());
    dlg.chkRecycleHdd->click();
    EXPECT_TRUE(dlg.speBackupCap->isEnabled());
    EXPECT_TRUE(dlg.btnBackupFolder->isEnabled());
    EXPECT_TRUE(dlg.edtbackupFolder->isReadOnly());
    dlg.chkRecycleHdd->click();
    EXPECT_FALSE(dlg.speBackupCap->isEnabled());
    EXPECT_FALSE(dlg.btnBackupFolder->isEnabled());

    ASSERT_TRUE(dlg.chkBackupDb->isChecked());
    EXPECT_TRUE(dlg.speBackupdb->isEnabled());
    dlg.chkBackupDb->click();
    EXPECT_FALSE(dlg.speBackupdb->isEnabled());
    dlg.chkBackupDb->click();
    EXPECT_TRUE(dlg.speBackupdb->isEnabled());
}

TEST_F(ConfigurationTest, MailFieldsFollowEnableAndTestServerRunsItsHook) {
    TfmConfig& dlg = CreateConfig();
    int tests = 0;
    dlg.TestServer = [&] { ++tests; };
    Show();
    QList<QWidget*> fields;
    for (const char* name : {"edtServerName", "edtSmtpUserID", "edtRecipient1", "edtRecipient2",
                             "edtRecipient3", "btnTestServer"}) {
        QWidget* w = dlg.findChild<QWidget*>(name);
        ASSERT_NE(w, nullptr) << name;
        fields << w;
    }
    auto enabled = [&] {
        int n = 0;
        for (QWidget* w : fields) n += w->isEnabled() ? 1 : 0;
        return n;
    };
    EXPECT_EQ(enabled(), 0);  // mail off by default
    dlg.chkSmtp->click();
    EXPECT_EQ(enabled(), 6);
    dlg.btnTestServer->click();
    EXPECT_EQ(tests, 1);
    dlg.chkSmtp->click();
    EXPECT_EQ(enabled(), 0);
}

TEST_F(ConfigurationTest, PickersAndListButtons) {
    TfmConfig& dlg = CreateConfig();
    QList<int> lists;
    dlg.OpenFilterList = [&](int d) { lists << d; };
    QString startedAt;
    dlg.PickFolder = [&](const QString& start) {
        startedAt = start;
        return home.Root();
    };
    dlg.PickExecutable = [&](const QString&) { return QString("/usr/bin/tool"); };
    Show();
    dlg.btnInList->click();
    dlg.btnOutList->click();
    EXPECT_EQ(lists, (QList<int>{0, 1}));
    dlg.btnFolder->click();
    EXPECT_EQ(startedAt, globals->AppDataDir + "/wav/");
    EXPECT_EQ(dlg.edtFolder->text(), home.Root() + "/");
    dlg.cbExtTool->click();
    dlg.sbExeTool->click();
    EXPECT_EQ(dlg.stxExe->text(), "tool");
    // A cancelled picker changes nothing.
    dlg.PickFolder = [](const QString&) { return QString(); };
    dlg.btnBackupFolder->click();
    EXPECT_EQ(dlg.edtbackupFolder->text(), globals->AppDataDir + "/backup/");
    dlg.btnOk->click();
    TIniFile ini(IniPath());
    EXPECT_EQ(ini.ReadString("General", "SaveFolder", ""), home.Root() + "/");
    EXPECT_EQ(ini.ReadString("External tool", "Executable", ""), "/usr/bin/tool");
}

TEST_F(ConfigurationTest, OnDemandKeysKeepOnlyDigitsStarAndHash) {
    TfmConfig& dlg = CreateConfig();
    Show();
    dlg.edtStart->clear();
    QTest::keyClicks(dlg.edtStart, "*1a2 #b");
    EXPECT_EQ(dlg.edtStart->text(), "*12#");
    EXPECT_EQ(settings.edtStart, "*12#");
    dlg.edtStop->setText("x#9y0");  // pasted
    EXPECT_EQ(dlg.edtStop->text(), "#90");
    dlg.btnOk->click();
    EXPECT_EQ(TIniFile(IniPath()).ReadString("General", "onDemStart", ""), "*12#");
    EXPECT_EQ(TIniFile(IniPath()).ReadString("General", "onDemStop", ""), "#90");
}

TEST_F(ConfigurationTest, ClearingTheStartKeyKeepsTheStoredOne) {
    TfmConfig& dlg = CreateConfig();
    Show();
    dlg.edtStart->clear();
    dlg.edtStop->setText("#5");
    dlg.btnOk->click();
    TIniFile ini(IniPath());
    EXPECT_EQ(ini.ReadString("General", "onDemStart", ""), "*1");
    EXPECT_EQ(ini.ReadString("General", "onDemStop", ""), "#5");
    EXPECT_EQ(settings.edtStart, "*1");  // the live value is the stored one again
}

TEST_F(ConfigurationTest, RangeMessagesWhenLeavingASpinField) {
    TfmConfig& dlg = CreateConfig();
    Show();
    dlg.spnRunOn->Editor()->setText("200000");
    dlg.spnRunOn->Leave();
    EXPECT_EQ(dlg.spnRunOn->value(), 100000);
    EXPECT_EQ(messages.shown.value(0), T::kValueOutOfLimits);
    dlg.spnRecGain->Editor()->setText("9");
    dlg.spnRecGain->Leave();
    EXPECT_EQ(messages.shown.value(1), "Value out of limits. Maximum value is set to 6");
    dlg.spnPlayGain->Editor()->setText("-9");
    dlg.spnPlayGain->Leave();
    EXPECT_EQ(messages.shown.value(2), "Value out of limits. Minimum value is set to -6");
    EXPECT_EQ((*channels)[0].PlayGain, -6);
    // A value inside the range says nothing.
    dlg.spnPlayGain->Editor()->setText("3");
    dlg.spnPlayGain->Leave();
    EXPECT_EQ(messages.shown.size(), 3);
    EXPECT_EQ((*channels)[0].PlayGain, 3);
}

TEST_F(ConfigurationTest, CapacityClimbsInStepsOf100UntilSpaceIsFree) {
    TIniFile(IniPath()).WriteString("General", "StorageCapacity", "500");
    OpenStores();
    TfmConfig& dlg = CreateConfig();
    globals->UsedSpaceKb = 480 * 1024;
    Show();
    EXPECT_EQ(dlg.lbUsed->text(), "Used space 480 Mb");
    EXPECT_EQ(dlg.lbFree->text(), "Free space 20 Mb");
    dlg.speMainStorageCap->setValue(400);
    EXPECT_EQ(dlg.speMainStorageCap->value(), 500);
    EXPECT_EQ(dlg.lbFree->text(), "Free space 20 Mb");
    ASSERT_EQ(dlg.Chart1->Slices().size(), 2);
    EXPECT_EQ(dlg.Chart1->Slices()[0].Label, T::kFreeDisk);
    EXPECT_EQ(dlg.Chart1->Slices()[0].Value, 20);
    EXPECT_EQ(dlg.Chart1->Slices()[1].Value, 480);

    // Several steps: 150 -> 250 -> ... -> 850.
    globals->UsedSpaceKb = 780 * 1024 + 1023;  // 780 MB in whole MB
    dlg.speMainStorageCap->setValue(150);
    EXPECT_EQ(dlg.speMainStorageCap->value(), 850);
    EXPECT_EQ(settings.speMainStorageCap, 850);

    // The maximum stops the climb.
    EXPECT_EQ(TConfigStore::ClimbCapacity(100, 780, 600), 600);
    EXPECT_EQ(TConfigStore::ClimbCapacity(900, 780, 600), 900);  // enough free already
}

TEST_F(ConfigurationTest, ShowingTheDialogNeverLowersTheCapacity) {
    TIniFile(IniPath()).WriteString("General", "StorageCapacity", "5000");
    volume.Free = 50LL * 1048576;  // 50 MB: the maximum would be negative
    OpenStores();
    TfmConfig& dlg = CreateConfig();
    globals->UsedSpaceKb = 6000 * 1024;  // more used than the capacity
    Show();
    EXPECT_EQ(dlg.speMainStorageCap->value(), 5000);
    EXPECT_EQ(settings.speMainStorageCap, 5000);
    EXPECT_EQ(dlg.speMainStorageCap->minimum(), 0);
    EXPECT_EQ(dlg.lbFree->text(), "Free space -1000 Mb");
    dlg.btnOk->click();
    EXPECT_EQ(TIniFile(IniPath()).ReadInteger("General", "StorageCapacity", 0), 5000);
    dlg.btnCancel->click();
    EXPECT_EQ(settings.speMainStorageCap, 5000);
}

TEST_F(ConfigurationTest, FirstStartOnAFullVolumeStoresNoNegativeCapacity) {
    volume.Free = 30LL * 1048576;
    CreateConfig();
    EXPECT_EQ(TIniFile(IniPath()).ReadInteger("General", "StorageCapacity", -1), 0);
    EXPECT_EQ(settings.speMainStorageCap, 0);
}

TEST_F(ConfigurationTest, FreeSpaceIsMeasuredWhereTheRecordingsAre) {
    const QString elsewhere = home.Root() + "/recordings/not/yet/made/";
    TIniFile(IniPath()).WriteString("General", "SaveFolder", elsewhere);
    OpenStores();
    CreateConfig();
    volume.Asked.clear();
    Show();
    EXPECT_TRUE(volume.Asked.contains(elsewhere)) << volume.Asked.join(",").toStdString();

    // The real measurement takes the volume of the nearest folder that exists.
    TVolumeSpace real;
    EXPECT_GE(real.FreeBytes(home.Root() + "/no/such/folder/"), 0);
    EXPECT_EQ(real.FreeBytes(home.Root() + "/no/such/folder/"), real.FreeBytes(home.Root()));
}

TEST_F(ConfigurationTest, StartupRegistrationFollowsTheBoxAtOk) {
    TfmConfig& dlg = CreateConfig();
    EXPECT_EQ(startup.Registered, 1);
    Show();
    dlg.cbxStartup->click();
    dlg.btnOk->click();
    EXPECT_EQ(startup.Removed, 1);
    EXPECT_TRUE(Logged(T::kProgramRemovedFromStartup));
    EXPECT_FALSE(TIniFile(IniPath()).ReadBool("General", "StartUp", true));
    Show();
    dlg.btnOk->click();  // unchanged: nothing happens
    EXPECT_EQ(startup.Removed, 1);
    EXPECT_EQ(startup.Registered, 1);
    Show();
    dlg.cbxStartup->click();
    dlg.btnOk->click();
    EXPECT_EQ(startup.Registered, 2);

    // A failure is logged as one, not as success.
    startup.Fails = true;
    log.Clear();
    Show();
    dlg.cbxStartup->click();
    dlg.btnOk->click();
    EXPECT_TRUE(Logged(QString(T::kStartupNotRemoved) + "read-only"));
    EXPECT_FALSE(Logged(T::kProgramRemovedFromStartup));
}

TEST_F(ConfigurationTest, AutostartEntryQuotesThePath) {
    const QByteArray text = TStartupRegistration::EntryText("/opt/my tools/Pel\"m$orant");
    EXPECT_TRUE(text.contains("Exec=\"/opt/my tools/Pel\\\\\"m\\\\$orant\" STARTUP\n")) << text.constData();
    EXPECT_EQ(TStartupRegistration::QuoteExecArgument("/a%b"), "\"/a%%b\"");
    // Registering and removing the real entry.
    TStartupRegistration real;
    ASSERT_TRUE(real.Register());
    EXPECT_TRUE(real.IsRegistered());
    EXPECT_EQ(QFile(TStartupRegistration::EntryFileName()).permissions() &
                  (QFileDevice::ReadOther | QFileDevice::ReadGroup),
              QFileDevice::Permissions());
    ASSERT_TRUE(real.Unregister());
    EXPECT_FALSE(real.IsRegistered());
    EXPECT_TRUE(real.Unregister());  // nothing to remove is no failure
}

TEST_F(ConfigurationTest, DialogPositionIsKept) {
    TfmConfig& dlg = CreateConfig();
    EXPECT_EQ(dlg.pos(), QPoint(437, 231));
    dlg.move(100, 120);
    Restart();
    EXPECT_EQ(config->pos(), QPoint(100, 120));
    EXPECT_EQ(config->windowTitle(), "Configuration");
    EXPECT_EQ(config->PageControl->tabText(4), "Medium mangagement");
}
