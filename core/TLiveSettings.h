// The settings in force, named after the configuration dialog's controls. Every layer reads
// them here; the configuration dialog loads, edits and stores them.
#pragma once

#include <QString>

struct TLiveSettings {
    // General settings.
    int cbxCompression = 0;  // item index: 0 a-Law, 1 u-Law, 2 IMA ADPCM, 3 GSM, 4 MP3
    int CompressionTag = 6;  // format tag of new recordings: 6, 7, 17, 49 or 85
    int cbxRecordCalls = 2;  // 0 Incoming, 1 Outgoing, 2 All, 3 SMDR
    QString edtFolder;       // recordings folder, ending in "/"
    int speMainStorageCap = 0;  // MB
    QString edtStart = "*1";
    QString edtStop = "*2";
    bool cbxStartup = true;
    bool cbxPostByDate = true;
    bool cbxSaveCallerName = true;
    bool cbxTrimDigits = false;
    QString edtTrimDigits;
    bool cbxInboundFilter = false;
    int spnInboundTime = 10;
    bool cbxOutboundFilter = true;
    int spnOutboundTime = 2;
    int rdExportFormat = 1;
    // Alarms.
    bool chkHardwareAl = true;
    bool chkHddFullAl = true;
    bool chkCalloverAl = true;
    int spnCallOvertime = 180;  // minutes
    bool chkSoftErrorAl = true;
    bool chkThreadAl = true;
    bool chkAudioAlarm = true;
    int spnAlarmDuration = 30;
    bool chkSmtp = false;
    QString edtServerName;
    QString edtSmtpUserID;
    QString edtRecipient1, edtRecipient2, edtRecipient3;
    // External tool.
    QString edtToolCaption;
    QString edtToolComline;
    QString ToolExecutable;
    bool cbExtTool = false;
    // Storage and backup.
    bool chkRecycleHdd = true;
    int speBackupCap = 100;
    QString edtbackupFolder;
    int cbxDrive1 = 0;
    bool chkBackupDb = true;
    int speBackupdb = 5;
    // Passwords.
    bool cbxAdminPass = false;
    bool cbxAccessPass = false;

    // Format tag of each codec item.
    static int CompressionTagOf(int itemIndex);
    static int ItemOfCompressionTag(int tag);  // -1 when unknown

    // The program's settings.
    static TLiveSettings& Instance();
};
