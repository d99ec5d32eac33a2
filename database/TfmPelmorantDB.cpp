#include "TfmPelmorantDB.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cfenv>
#include <cmath>

#include "DatabaseTexts.h"
#include "SystemFormat.h"
#include "TChannelTable.h"
#include "TClock.h"
#include "TDatasetModel.h"
#include "TEventLog.h"
#include "TLiveSettings.h"
#include "TMessages.h"
#include "TPelmGlobals.h"
#include "TUniqueId.h"
#include "TVolgaEnv.h"
#include "Tchannel.h"

namespace {

using FT = TFieldType;

double TimeOfDay(TDateTime v) {
    return std::fabs(v - std::trunc(v));
}

}  // namespace

std::vector<TVolgaFieldDef> TfmPelmorantDB::CallsFields() {
    std::vector<TVolgaFieldDef> d = {
        {"callID", FT::ftString, 10},      {"Channel", FT::ftInteger, 0},
        {"FolderId", FT::ftString, 20},    {"Date", FT::ftDate, 0},
        {"startTime", FT::ftTime, 0},      {"stopTime", FT::ftTime, 0},
        {"inOut", FT::ftInteger, 0},       {"dtmf", FT::ftString, 20},
        {"callerID", FT::ftString, 20},    {"Memo", FT::ftString, 255},
        {"mediumLabel", FT::ftString, 64}, {"mediumType", FT::ftInteger, 0},
        {"fileName", FT::ftString, 25},    {"fileSize", FT::ftInteger, 0},
    };
    for (int i = 1; i <= 4; ++i) d.push_back({"bool" + std::to_string(i), FT::ftBoolean, 0});
    for (int i = 1; i <= 4; ++i) d.push_back({"st" + std::to_string(i), FT::ftString, 255});
    for (int i = 1; i <= 4; ++i) d.push_back({"real" + std::to_string(i), FT::ftFloat, 0});
    return d;
}

std::vector<TVolgaFieldDef> TfmPelmorantDB::ChannelsFields() {
    std::vector<TVolgaFieldDef> d = {
        {"Channel", FT::ftInteger, 0},       {"Tag", FT::ftString, 20},
        {"Operation", FT::ftBoolean, 0},     {"Trigger", FT::ftInteger, 0},
        {"LevelOn", FT::ftInteger, 0},       {"RunOn", FT::ftInteger, 0},
        {"RecordingGain", FT::ftInteger, 0}, {"PlayGain", FT::ftInteger, 0},
        {"DtrmVoltage", FT::ftInteger, 0},   {"AGC", FT::ftBoolean, 0},
    };
    for (int day = 1; day <= 7; ++day) {
        std::string p = "D" + std::to_string(day);
        d.push_back({p + "En", FT::ftBoolean, 0});
        d.push_back({p + "Start", FT::ftTime, 0});
        d.push_back({p + "Stop", FT::ftTime, 0});
        d.push_back({p + "FullTime", FT::ftBoolean, 0});
    }
    for (int i = 1; i <= 4; ++i) d.push_back({"Int" + std::to_string(i), FT::ftInteger, 0});
    for (int i = 1; i <= 4; ++i) d.push_back({"Bool" + std::to_string(i), FT::ftBoolean, 0});
    d.push_back({"st1", FT::ftString, 8});
    d.push_back({"st2", FT::ftString, 24});
    d.push_back({"st3", FT::ftString, 96});
    d.push_back({"st4", FT::ftString, 256});
    for (int i = 1; i <= 4; ++i) d.push_back({"real" + std::to_string(i), FT::ftFloat, 0});
    return d;
}

std::vector<TVolgaFieldDef> TfmPelmorantDB::AlarmsFields() {
    return {{"Time", FT::ftDateTime, 0}, {"Type", FT::ftInteger, 0}, {"Msg", FT::ftString, 255}};
}

std::vector<TVolgaFieldDef> TfmPelmorantDB::TreeFields() {
    return {{"FolderID", FT::ftString, 10},
            {"NodeText", FT::ftString, 255},
            {"NodePos", FT::ftString, 255},
            {"Expanded", FT::ftBoolean, 0}};
}

TfmPelmorantDB::TfmPelmorantDB(TPelmGlobals& globals, TLiveSettings& settings, QObject* parent)
    : QObject(parent),
      tblCalls(&dbPelmorant),
      tblRecycle(&dbPelmorant),
      queSearch(&dbPelmorant),
      tblExport(&dbPelmorant),
      tblChannels(&dbPelmorant),
      tblAlarms(&dbPelmorant),
      tblTree(&dbPelmorant),
      globals_(globals),
      settings_(settings) {
    dbPelmorant.FormatSettings = SystemFormat();

    tblCalls.Name = "tblCalls";
    tblCalls.AddCalcField("duration", FT::ftTime).DisplayFormat = "hh:nn:ss";
    tblCalls.AddCalcField("callDir", FT::ftString, 20);
    tblCalls.OnCalcFields = [this](TVolgaDataset& ds) { CallsCalcFields(ds); };
    tblCalls.BeforeDelete = [this](TVolgaDataset& ds) { CallsBeforeDelete(ds); };
    tblRecycle.Name = "tblRecycle";
    tblRecycle.SetCloneDS(&tblCalls);
    queSearch.Name = "queSearch";
    queSearch.SetSQL("select * from calls");
    queSearch.Origin = "Calls";
    queSearch.UniqueFieldNames = "callID";
    queSearch.AddCalcField("duration", FT::ftString, 10);
    queSearch.AddCalcField("callDir", FT::ftString, 20).DisplayWidth = 20;
    queSearch
        .AddLookupField("Folder", FT::ftString, 50, "FolderId", &tblTree, "FolderID", "NodeText")
        .Alignment = TFieldAlignment::taCenter;
    queSearch.OnCalcFields = [this](TVolgaDataset& ds) { SearchCalcFields(ds); };
    queSearch.BeforeDelete = [this](TVolgaDataset& ds) { SearchBeforeDelete(ds); };
    tblExport.Name = "tblExport";
    tblExport.ReadOnly = true;
    for (const char* f : {"callID", "Channel", "Date", "startTime", "stopTime", "inOut", "dtmf",
                          "callerID", "Memo", "mediumLabel", "fileName", "fileSize"})
        tblExport.AddDataField(f);
    tblChannels.Name = "tblChannels";
    tblAlarms.Name = "tblAlarms";
    tblAlarms.AddCalcField("TypeSt", FT::ftString, 20);
    tblAlarms.OnCalcFields = [this](TVolgaDataset& ds) { AlarmsCalcFields(ds); };
    tblTree.Name = "tblTree";
}

TfmPelmorantDB::~TfmPelmorantDB() {
    for (TVolgaDataset* t : std::initializer_list<TVolgaDataset*>{
             &tblRecycle, &tblExport, &tblCalls, &queSearch, &tblChannels, &tblAlarms, &tblTree}) {
        try {
            t->Close();
        } catch (...) {
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Calculated fields and the before-delete handler

void TfmPelmorantDB::CallsCalcFields(TVolgaDataset& ds) {
    double start = ds.FieldByName("startTime").AsDateTime();
    double stop = ds.FieldByName("stopTime").AsDateTime();
    double d = stop - start;
    if (d < 0) d += 1.0;  // a call that ran past midnight
    ds.FieldByName("duration").SetAsDateTime(d);
    switch (ds.FieldByName("inOut").AsInteger()) {
        case 0:
            ds.FieldByName("callDir").SetAsString(DatabaseTexts::kInbound);
            break;
        case 1:
            ds.FieldByName("callDir").SetAsString(DatabaseTexts::kOutbound);
            break;
        case 2:
            ds.FieldByName("callDir").SetAsString(DatabaseTexts::kOnDemand);
            break;
        default:
            break;
    }
}

void TfmPelmorantDB::SearchCalcFields(TVolgaDataset& ds) {
    double d = ds.FieldByName("stopTime").AsDateTime() - ds.FieldByName("startTime").AsDateTime();
    if (d < 0) d += 1.0;  // a call that ran past midnight
    ds.FieldByName("duration").SetAsString(ElapsedText(0, d).toStdString());
    switch (ds.FieldByName("inOut").AsInteger()) {
        case 0:
            ds.FieldByName("callDir").SetAsString(DatabaseTexts::kInbound);
            break;
        case 1:
            ds.FieldByName("callDir").SetAsString(DatabaseTexts::kOutbound);
            break;
        case 2:
            ds.FieldByName("callDir").SetAsString(DatabaseTexts::kUndefined);
            break;
        default:
            break;
    }
}

void TfmPelmorantDB::SearchBeforeDelete(TVolgaDataset& ds) {
    QString name = QString::fromStdString(ds.FieldByName("fileName").AsString());
    QString path = RecordingPath(name);
    if (path.isEmpty()) {
        if (!name.isEmpty()) LogGeneral(DatabaseTexts::kUnsafeFileName + name);
    } else if (QFileInfo::exists(path)) {
        QFile::remove(path);
    }
}

void TfmPelmorantDB::AlarmsCalcFields(TVolgaDataset& ds) {
    static const char* const kTypes[] = {"Hardware", "HddFull", "OverTime", "Software", "Thread"};
    int64_t t = ds.FieldByName("Type").AsInteger();
    if (t >= 0 && t <= 4) ds.FieldByName("TypeSt").SetAsString(kTypes[t]);
}

bool TfmPelmorantDB::IsSafeFileName(const QString& fileName) {
    return !fileName.isEmpty() && !fileName.contains('/') && !fileName.contains('\\') &&
           fileName != "." && fileName != ".." && !fileName.contains(QChar(0));
}

QString TfmPelmorantDB::RecordingPath(const QString& fileName) const {
    if (!IsSafeFileName(fileName)) return QString();
    return settings_.edtFolder + fileName;
}

void TfmPelmorantDB::CallsBeforeDelete(TVolgaDataset& ds) {
    QString name = QString::fromStdString(ds.FieldByName("fileName").AsString());
    QString path = RecordingPath(name);
    if (path.isEmpty()) {
        if (!name.isEmpty()) LogGeneral(DatabaseTexts::kUnsafeFileName + name);
    } else if (QFileInfo::exists(path)) {
        QFile::remove(path);
    }
    globals_.UsedSpaceKb.fetch_sub(static_cast<int32_t>(ds.FieldByName("fileSize").AsInteger()));
}

// ---------------------------------------------------------------------------------------------
// Opening

void TfmPelmorantDB::OpenOrCreate(TVolgaTable& table, const QString& fileName,
                                  const std::vector<TVolgaFieldDef>& defs, bool& created) {
    table.SetTableName(fileName.toStdString());
    created = false;
    if (QFileInfo::exists(globals_.AppDataDir + "/" + fileName)) {
        table.Open();
        table.First();
        return;
    }
    table.FieldDefs = defs;
    table.CreateTable();
    created = true;
}

bool TfmPelmorantDB::OpenDatabase() {
    dbPelmorant.SetDatabasePath(globals_.AppDataDir.toStdString());
    dbPelmorant.DateFormat = "mm/dd/yyyy";
    DateInUse = {};
    bool created = false;
    SalvageDamagedTables();
    try {
        OpenOrCreate(tblCalls, "Calls.d", CallsFields(), created);
        if (QFileInfo::exists(globals_.AppDataDir + "/Folders.d"))
            QFile::rename(globals_.AppDataDir + "/Folders.d",
                          globals_.AppDataDir + "/Folders.d.bak");
        OpenOrCreate(tblChannels, "Channels.d", ChannelsFields(), created);
        OpenOrCreate(tblAlarms, "Alarms.d", AlarmsFields(), created);
        OpenOrCreate(tblTree, "Tree.d", TreeFields(), created);
    } catch (const std::exception& e) {
        // The table that failed and those after it stay closed; start-up goes on.
        ShowMessage(QString::fromUtf8(e.what()));
        return true;
    }
    const QString treeIni = globals_.AppDataDir + "/Tree.ini";
    const bool haveIni = QFileInfo::exists(treeIni);
    if (created && !haveIni) {
        Tree.Clear();
        QStandardItem* main = Tree.AddChild(nullptr, "Main", GenerateUniqueId());
        main->setEditable(false);
        Tree.ToTable(tblTree);
    }
    if (haveIni) {
        TIniFile ini(treeIni);
        if (!Tree.FromIni(ini)) {
            ShowMessage(DatabaseTexts::kTreeFromIniFailed);
            globals_.StartupAbort = true;
            return false;
        }
        QFile::remove(treeIni + ".bak");
        QFile::rename(treeIni, treeIni + ".bak");
        globals_.TreeIni.reset();
        Tree.ToTable(tblTree);
    } else if (!Tree.FromTable(tblTree)) {
        ShowMessage(DatabaseTexts::kTreeFromTableFailed);
        globals_.StartupAbort = true;
        return false;
    }
    if (Tree.Count() == 0) {
        // A tree table with no folder left (emptied, or nothing of it could be read): Main
        // again, so that every call is filed into a folder.
        QStandardItem* main = Tree.AddChild(nullptr, "Main", GenerateUniqueId());
        main->setEditable(false);
        Tree.ToTable(tblTree);
    }
    if (QStandardItem* first = Tree.FirstRoot()) MainFolderId = TFolderTree::FolderId(first);
    if (!Salvaged.isEmpty()) ShowLostFoldersInMain();
    return true;
}

void TfmPelmorantDB::SalvageDamagedTables() {
    struct Table {
        const char* FileName;
        std::vector<TVolgaFieldDef> Defs;
        const char* Key;  // empty: no record key (the tree's order is its structure)
    };
    const Table tables[] = {{"Calls.d", CallsFields(), "callID"},
                            {"Channels.d", ChannelsFields(), "Channel"},
                            {"Alarms.d", AlarmsFields(), ""},
                            {"Tree.d", TreeFields(), ""}};
    for (const Table& t : tables) {
        const QString path = globals_.AppDataDir + "/" + t.FileName;
        if (!QFileInfo::exists(path) || TTableSalvage::Loads(path, nullptr)) continue;
        Salvaged << TTableSalvage::Salvage(globals_.AppDataDir, t.FileName, t.Defs, t.Key);
    }
}

// Calls whose folder is not in the tree (the tree was rebuilt or taken from an older copy)
// would be in no folder, and no view would show them: Main takes them.
void TfmPelmorantDB::ShowLostFoldersInMain() {
    if (!tblCalls.Active() || !tblTree.Active() || MainFolderId.isEmpty()) return;
    QSet<QString> folders;
    for (int i = 0; i < Tree.Count(); ++i) folders.insert(TFolderTree::FolderId(Tree.NodeAt(i)));
    try {
        tblCalls.SetFiltered(false);
        for (tblCalls.First(); !tblCalls.Eof(); tblCalls.Next()) {
            const QString id =
                QString::fromStdString(tblCalls.FieldByName("FolderId").AsString()).trimmed();
            if (folders.contains(id)) continue;
            tblCalls.Edit();
            tblCalls.FieldByName("FolderId").SetAsString(MainFolderId.toStdString());
            tblCalls.Post();
            ++CallsMovedToMain;
        }
        if (CallsMovedToMain > 0) tblCalls.SaveChanges();
        tblCalls.First();
    } catch (const std::exception& e) {
        LogGeneral(QString::fromUtf8(e.what()));
    }
}

QStringList TfmPelmorantDB::SalvageReport(int callsFromRecordings) const {
    QStringList lines;
    for (const TTableSalvage::Result& r : Salvaged) {
        lines << QString(DatabaseTexts::kTableDamaged).arg(r.FileName, r.Reason);
        if (!r.Error.isEmpty()) {
            lines << QString(DatabaseTexts::kTableNotReplaced).arg(r.Error);
            continue;
        }
        lines << QString(DatabaseTexts::kDamagedKeptAs).arg(r.KeptAs);
        lines << QString(DatabaseTexts::kRecordsRecovered)
                     .arg(r.FromFile + r.FromCopy)
                     .arg(r.FromFile)
                     .arg(r.FromCopy);
    }
    if (lines.isEmpty()) return lines;
    if (callsFromRecordings > 0)
        lines << QString(DatabaseTexts::kCallsFromRecordings).arg(callsFromRecordings);
    if (CallsMovedToMain > 0) lines << QString(DatabaseTexts::kCallsToMain).arg(CallsMovedToMain);
    return lines;
}

// ---------------------------------------------------------------------------------------------
// Filing a call

int TfmPelmorantDB::RoundFileSizeKb(qint64 bytes) {
    int old = std::fegetround();
    std::fesetround(FE_TONEAREST);
    double kb = std::nearbyint(static_cast<double>(bytes) / 1024.0);
    std::fesetround(old);
    return static_cast<int>(kb);
}

void TfmPelmorantDB::AddCall(const Tchannel& channel) {
    FileCallRecord(channel, TClock::Instance().Now().date(), nullptr);
}

void TfmPelmorantDB::AddRecoveredCall(const Tchannel& channel, const QString& memo) {
    FileCallRecord(channel, FromDateTime(channel.StartTime).date(), &memo);
}

QSet<QString> TfmPelmorantDB::RecordedFileNames() const {
    QSet<QString> names;
    if (!tblCalls.Active()) return names;
    const TVolgaCursor* cursor = tblCalls.Cursor();
    const TVolgaField* field = cursor->FieldByName("fileName");
    if (!field) return names;
    const auto& records = cursor->Records();
    names.reserve(static_cast<qsizetype>(records.size()));
    for (const auto& r : records) {
        if (!r->IsLive()) continue;
        const std::string name = field->VarIndex >= 0
                                     ? r->Data.Vars[static_cast<size_t>(field->VarIndex)]
                                     : field->GetText(r->Data);
        names.insert(QString::fromStdString(name).trimmed());
    }
    return names;
}

// `date` is the call's date (today for a call that just ended); `memo`, when given, replaces
// the caller's name as the memo.
void TfmPelmorantDB::FileCallRecord(const Tchannel& channel, const QDate& date,
                                    const QString* memo) {
    const bool wasOpen = tblCalls.Active();
    if (!wasOpen) tblCalls.Open();
    const int recNo = tblCalls.RecNo();
    const QDate today = date;

    QString folderId = MainFolderId;
    if (settings_.cbxPostByDate) {
        if (DateInUse.DateText != TFolderTree::DateFolderText(today)) {
            Tree.FindOrCreateDateNode(today, DateInUse, [] { return GenerateUniqueId(); });
            Tree.ToTable(tblTree);
        }
        folderId = DateInUse.FolderId;
    }

    QString dtmf = channel.Dtmf;
    if (settings_.cbxTrimDigits && !settings_.edtTrimDigits.isEmpty() &&
        dtmf.startsWith(settings_.edtTrimDigits))
        dtmf = dtmf.mid(settings_.edtTrimDigits.size());
    QString callerId = channel.CallerId;
    if (callerId == "P")
        callerId = DatabaseTexts::kPrivateNumber;
    else if (callerId == "O")
        callerId = DatabaseTexts::kLongDistance;
    QString memoText = memo ? *memo : settings_.cbxSaveCallerName ? channel.CallerName : " ";
    if (memoText.isEmpty()) memoText = " ";

    QString fileName;
    int fileSize = 0;
    bool sizeFailed = false;
    if (settings_.cbxRecordCalls == 3) {
        fileName = DatabaseTexts::kSmdr;
    } else {
        fileName = channel.FileName;
        QFile f(settings_.edtFolder + fileName);
        if (fileName.isEmpty()) {
            // A call during which nothing could be recorded: filed without a recording.
        } else if (IsSafeFileName(fileName) && f.open(QIODevice::ReadOnly)) {
            fileSize = RoundFileSizeKb(f.size());
        } else {
            sizeFailed = true;
        }
    }

    if (CallsModel) CallsModel->BeginUpdate();
    try {
        tblCalls.Append();
        auto set = [this](const char* field, const QString& v) {
            tblCalls.FieldByName(field).SetAsString(v.toStdString());
        };
        set("callID", GenerateUniqueId());
        tblCalls.FieldByName("Channel").SetAsInteger(channel.Number);
        set("FolderId", folderId);
        tblCalls.FieldByName("Date").SetAsDateTime(ToDateTime(QDateTime(today, QTime(0, 0))));
        tblCalls.FieldByName("startTime").SetAsDateTime(TimeOfDay(channel.StartTime));
        tblCalls.FieldByName("stopTime").SetAsDateTime(TimeOfDay(channel.StopTime));
        tblCalls.FieldByName("inOut").SetAsInteger(channel.InOut);
        set("dtmf", dtmf);
        set("callerID", callerId);
        set("Memo", memoText);
        set("mediumLabel", DatabaseTexts::kMainStorageMedium);
        tblCalls.FieldByName("mediumType").SetAsInteger(0);
        set("fileName", fileName);
        tblCalls.FieldByName("fileSize").SetAsInteger(fileSize);
        for (const char* b : {"bool1", "bool2", "bool3", "bool4"})
            tblCalls.FieldByName(b).SetAsBoolean(false);
        for (const char* s : {"st1", "st2", "st3", "st4"}) set(s, " ");
        for (const char* r : {"real1", "real2", "real3", "real4"})
            tblCalls.FieldByName(r).SetAsFloat(0);
        tblCalls.Post();
        tblCalls.SaveChanges();
    } catch (...) {
        if (tblCalls.State() == TDataSetState::dsInsert) tblCalls.Cancel();
        if (CallsModel) CallsModel->EndUpdate();
        throw;
    }
    globals_.UsedSpaceKb.fetch_add(fileSize);

    if (sizeFailed) {
        globals_.SetSoftErrorText(DatabaseTexts::kFileSizeError);
        {
            std::lock_guard<std::recursive_mutex> lock(*channel.Lock);
            LogGeneral(DatabaseTexts::kFileSizeError);
            if (settings_.chkSoftErrorAl && SoftwareErrorAlarm) SoftwareErrorAlarm(channel.Number);
        }
        // The table's channel, not the copy, leaves operation.
        emit operationLost(channel.Number);
    }

    if (ShowSelectedFolder) ShowSelectedFolder();
    if (tblCalls.Active() && tblCalls.RecordCount() == 0 && ExpandAllAndSelectLast)
        ExpandAllAndSelectLast();
    if (tblCalls.Active() && recNo > 0) tblCalls.SetRecNo(recNo);
    if (CallsModel) CallsModel->EndUpdate();
    if (!wasOpen) tblCalls.Close();
}

// ---------------------------------------------------------------------------------------------
// Used space and copies

int TfmPelmorantDB::SumUsedSpace() {
    if (!tblCalls.Active()) return 0;
    TVolgaCursor* cursor = tblCalls.Cursor();
    const TVolgaField* label = cursor->FieldByName("mediumLabel");
    const TVolgaField* size = cursor->FieldByName("fileSize");
    if (!label || !size) return 0;
    const auto& records = cursor->Records();
    const int total = static_cast<int>(records.size());
    const bool report = total >= 1000;
    const std::string main = DatabaseTexts::kMainStorageMedium;
    long long sum = 0;
    int position = 0;
    for (const auto& r : records) {
        ++position;
        if (!r->IsLive()) continue;
        const bool onMain = label->VarIndex >= 0
                                ? r->Data.Vars[static_cast<size_t>(label->VarIndex)] == main
                                : label->GetText(r->Data) == main;
        if (onMain) sum += size->GetInt(r->Data);
        if (report && position % 512 == 0) {
            emit usedSpaceProgress(position, total);
            QCoreApplication::processEvents();
        }
    }
    if (report) emit usedSpaceProgress(-1, total);
    return static_cast<int>(sum);
}

void TfmPelmorantDB::ResetMediumLabels() {
    if (!tblCalls.Active()) return;
    const bool filtered = tblCalls.Filtered();
    const int recNo = tblCalls.RecNo();
    if (CallsModel) CallsModel->BeginUpdate();
    try {
        tblCalls.SetFiltered(false);
        for (int row = 0; row < tblCalls.RecordCount(); ++row) {
            tblCalls.SetRecNo(row + 1);
            tblCalls.Edit();
            tblCalls.FieldByName("mediumLabel").SetAsString(DatabaseTexts::kMainStorageMedium);
            tblCalls.FieldByName("mediumType").SetAsInteger(0);
            tblCalls.Post();
        }
        tblCalls.SaveChanges();
    } catch (...) {
        if (tblCalls.State() == TDataSetState::dsEdit) tblCalls.Cancel();
        tblCalls.SetFiltered(filtered);
        if (CallsModel) CallsModel->EndUpdate();
        throw;
    }
    tblCalls.SetFiltered(filtered);
    if (recNo > 0 && recNo <= tblCalls.RecordCount()) tblCalls.SetRecNo(recNo);
    if (CallsModel) CallsModel->EndUpdate();
}

void TfmPelmorantDB::BackupDatabaseFiles() {
    const QString dir = globals_.AppDataDir + "/backupDB";
    TPelmGlobals::MakePrivateDir(dir);
    for (const char* name : {"Channels.d", "Calls.d", "Alarms.d", "Tree.d", "Filtered.d"}) {
        std::string error;
        TVolgaEnv::Default()->CopyFile((globals_.AppDataDir + "/" + name).toStdString(),
                                       (dir + "/" + name).toStdString(), error);
    }
}
