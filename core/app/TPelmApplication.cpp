#include "TPelmApplication.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include "CoreTexts.h"
#include "IAudioInput.h"
#include "RecordingTexts.h"
#include "SupervisionTexts.h"
#include "TAlarmMailer.h"
#include "TAlarmQueue.h"
#include "TAlarms.h"
#include "TAlarmsPage.h"
#include "TAudioInputChoice.h"
#include "TCAudioRecorder.h"
#include "TCallCompletion.h"
#include "TCallExport.h"
#include "TCallGridsFeature.h"
#include "TCallListPrinting.h"
#include "TCallRecovery.h"
#include "TCallSearch.h"
#include "TCallsGrid.h"
#include "TChannelTable.h"
#include "TDatasetModel.h"
#include "TDbBackupSchedule.h"
#include "TEventLog.h"
#include "TFileActions.h"
#include "TFileActionsFeature.h"
#include "TFilteredNumbers.h"
#include "TFolderTreeView.h"
#include "TLiveSettings.h"
#include "TLoggerModel.h"
#include "TMainController.h"
#include "TMainPages.h"
#include "TMessageBoxes.h"
#include "TPelmGlobals.h"
#include "TPlayer.h"
#include "TPlayerFeature.h"
#include "TPulseMixer.h"
#include "TQtWaveOutput.h"
#include "TRecorderFeature.h"
#include "TSearchPage.h"
#include "TStorageRuns.h"
#include "TSupervisionFeature.h"
#include "TTreeController.h"
#include "TTreeFeature.h"
#include "TVisualSql.h"
#include "TdmRecorder.h"
#include "TfmCallsDbWindow.h"
#include "TfmConfig.h"
#include "TfmFilterNums.h"
#include "TfmGetFolder.h"
#include "TfmLog.h"
#include "TfmMoveTo.h"
#include "TfmPasswords.h"
#include "TfmPelmUsb.h"
#include "TfmPelmorantDB.h"
#include "TfmTestPelmorant.h"

TPelmApplication::TPelmApplication(const QStringList& args, QObject* parent)
    : QObject(parent), args_(args), messageBoxes_(std::make_unique<TMessageBoxes>()) {
    TMessages::SetDefault(messageBoxes_.get());
}

TPelmApplication::~TPelmApplication() {
    // A storage run still walking the calls is stopped first; its record steps need the tables.
    if (storageRuns_) storageRuns_->Shutdown();
    if (controller_) {
        controller_->SetTree(nullptr);
        controller_->SetSupervision(nullptr);
        controller_->SetRecorder(nullptr);
        controller_->SetGrids(nullptr);
        controller_->SetFileActions(nullptr);
        controller_->SetPlayer(nullptr);
    }
    playerFeature_.reset();
    player_.reset();
    waveOutput_.reset();
    gridsFeature_.reset();
    fileActionsFeature_.reset();
    printing_.reset();
    fileActions_.reset();
    callExport_.reset();
    recorderFeature_.reset();
    supervisionFeature_.reset();
    dbBackups_.reset();
    treeFeature_.reset();
    recorder_.reset();
    completion_.reset();
    storageRuns_.reset();
    micRec_.reset();
    mixer_.reset();
    passProtection_.reset();
    newPassword_.reset();
    filterNums_.reset();
    config_.reset();
    filtered_.reset();
    tree_.reset();
    testsWindow_.reset();
    alarms_.reset();
    mailer_.reset();
    alarmsModel_.reset();
    search_.reset();
    searchModel_.reset();
    loggerModel_.reset();
    dbWindow_.reset();
    db_.reset();
    logWindow_.reset();
    main_.reset();
    controller_.reset();
    if (TEventLog::Instance() == log_.get()) TEventLog::SetInstance(nullptr);
    TMessages::SetDefault(nullptr);
}

std::vector<TDatasetModel::Column> TPelmApplication::LoggerColumns() {
    return TLoggerModel::LoggerColumns();
}

bool TPelmApplication::Start() {
    TPelmGlobals& g = TPelmGlobals::Instance();
    TLiveSettings& settings = TLiveSettings::Instance();
    g.StartupAbort = false;
    g.StartupAbortReason.clear();
    log_ = std::make_unique<TEventLog>();
    TEventLog::SetInstance(log_.get());

    // 1. The main window: its controller opens the stores and builds the channel table.
    // The window sees the program's own arguments (STARTUP), not the audio-input switch.
    QStringList windowArgs;
    for (const QString& a : args_)
        if (!a.startsWith(TAudioInputChoice::kSwitch)) windowArgs << a;
    controller_ =
        std::make_unique<TMainController>(g, TChannelTable::Instance(), settings, windowArgs);
    if (g.StartupAbort) return false;
    // The window over the pages each layer builds.
    main_ = std::make_unique<TfmPelmUsb>(*controller_, TMainPages::Create());
    if (g.StartupAbort) return false;
    // 2. The event log.
    logWindow_ =
        std::make_unique<TfmLog>(log_.get(), &g.SettingsIni, g.AppDataDir + "/Pelmorant.log");
    for (const QString& note : controller_->StartupNotes) log_->LogGeneral(note);
    log_->LogGeneral(CoreTexts::kHelpPages + controller_->HelpDir());
    connect(main_.get(), &TfmPelmUsb::logWindowRequested, logWindow_.get(), [this] {
        logWindow_->show();
        logWindow_->raise();
    });
    if (g.StartupAbort) return false;

    // The recordings folder until the configuration loads its own.
    if (settings.edtFolder.isEmpty()) settings.edtFolder = g.AppDataDir + "/wav/";
    TPelmGlobals::MakePrivateDir(settings.edtFolder);

    // 3. The calls database and the folder tree.
    db_ = std::make_unique<TfmPelmorantDB>(g, settings);
    dbWindow_ = std::make_unique<TfmCallsDbWindow>(*db_, g.SettingsIni);
    if (!db_->OpenDatabase() || g.StartupAbort) return false;
    loggerModel_ = std::make_unique<TLoggerModel>(&db_->tblCalls);
    loggerModel_->Attach(main_->gdLogger());
    searchModel_ = std::make_unique<TSearchModel>(&db_->queSearch);
    searchModel_->Attach(main_->gdSearch());
    main_->LoadGridLayout();
    db_->CallsModel = loggerModel_.get();
    tree_ = std::make_unique<TTreeController>(*db_, main_->tree(), main_->gdLogger(),
                                              loggerModel_.get());
    TfmPelmUsb* main = main_.get();
    TMainController* controller = controller_.get();
    tree_->MarkTreeChanged = [controller] { controller->TreeChanged = true; };
    tree_->SetItemEnabled = [controller](int item, bool on) {
        controller->SetTreeItemEnabled(item, on);
    };
    tree_->Progress = [main](int step, int steps) {
        QProgressBar* bar = main->ProgressBar();
        if (step < 0) {
            bar->hide();
            return;
        }
        bar->setMaximum(steps);
        bar->setValue(step);
        bar->show();
    };
    connect(db_.get(), &TfmPelmorantDB::operationLost, this,
            [](int channel) { TChannelTable::Instance()[channel].Operation = false; });

    treeFeature_ = std::make_unique<TTreeFeature>(*tree_, *db_);
    controller_->SetTree(treeFeature_.get());
    // The file actions on the grid in view, and the export of the call data.
    callExport_ = std::make_unique<TCallExport>(*db_, g, settings);
    fileActions_ =
        std::make_unique<TFileActions>(*db_, settings, *main_->gdLogger(), *main_->gdSearch());
    fileActions_->ViewInUse = [controller] {
        return controller->ActiveGrid() == ICallGrids::Grid::Search ? TFileActions::View::Search
                                                                    : TFileActions::View::Logger;
    };
    fileActions_->LoggerModel = loggerModel_.get();
    fileActions_->SearchModel = searchModel_.get();
    fileActions_->Progress = tree_->Progress;
    connect(fileActions_.get(), &TFileActions::statesChanged, controller_.get(),
            &TMainController::commandsChanged);
    // The logger grid's current row is the Calls table's current record.
    FollowCurrentRow(main_->gdLogger(), db_->tblCalls);
    tree_->UpdateFileActions = [this] { fileActions_->UpdateFileActions(); };
    tree_->MoveCallsToFolder = [this](const QString& folderId) { fileActions_->MoveTo(folderId); };
    // Printing the call list of the grid in view.
    printing_ = std::make_unique<TCallListPrinting>(db_->Tree, main_.get());
    printing_->VisibleGrid = [this, controller] {
        if (controller->ActiveGrid() == ICallGrids::Grid::Search)
            return TCallListPrinting::Target{&db_->queSearch, searchModel_.get(), true,
                                             main_->gdSearch()};
        return TCallListPrinting::Target{&db_->tblCalls, loggerModel_.get(), false,
                                         main_->gdLogger()};
    };
    fileActionsFeature_ =
        std::make_unique<TFileActionsFeature>(*fileActions_, *callExport_, *printing_);
    fileActionsFeature_->ChooseFolder = [this] {
        TfmMoveTo dialog(db_->Tree, main_.get());
        return dialog.ChooseFolder();
    };
    fileActionsFeature_->ChooseCopyFolder = [this](const QString& suggested) {
        // A save dialog: the folder of the chosen path is taken, the name itself is not used.
        const QString path = QFileDialog::getSaveFileName(
            main_.get(), QString(), QDir(QDir::homePath()).filePath(suggested), QString(), nullptr,
            QFileDialog::DontConfirmOverwrite);
        return path.isEmpty() ? QString() : QFileInfo(path).absolutePath();
    };
    controller_->SetFileActions(fileActionsFeature_.get());
    fileActions_->UpdateFileActions();
    SetUpSearch();
    gridsFeature_ = std::make_unique<TCallGridsFeature>(*main_->gdLogger(), *main_->gdSearch(),
                                                        db_->tblCalls, db_->queSearch);
    controller_->SetGrids(gridsFeature_.get());
    // The player of the current row's recording, on the sound card's output.
    waveOutput_ = std::make_unique<TQtWaveOutput>();
    player_ = std::make_unique<TPlayer>(settings, *waveOutput_);
    player_->CurrentCall = [this] { return fileActions_->CurrentCall(); };
    player_->UpdateFileActions = [this] { fileActions_->UpdateFileActions(); };
    player_->FocusGrid = [this] {
        if (TCallsGrid* grid = main_->ActiveGrid()) grid->setFocus();
    };
    playerFeature_ =
        std::make_unique<TPlayerFeature>(*player_, *fileActions_, *main_->PlayerPanel());
    connect(playerFeature_.get(), &TPlayerFeature::commandsChanged, controller_.get(),
            &TMainController::commandsChanged);
    controller_->SetPlayer(playerFeature_.get());
    for (int i = 0; i < TTreeController::ItemCount; ++i)
        controller_->SetTreeItemEnabled(i, tree_->ActionEnabled(i));

    // 4. The configuration: every setting and the channels' records are loaded here.
    config_ = std::make_unique<TfmConfig>(g, settings, TChannelTable::Instance(), &db_->tblChannels,
                                          main_.get());
    config_->FormCreate();
    if (g.StartupAbort) return false;

    // 5. The filtered-numbers list.
    filtered_ = std::make_unique<TFilteredNumbers>(&db_->dbPelmorant);
    filtered_->Open();
    filterNums_ = std::make_unique<TfmFilterNums>(*filtered_, main_.get());
    config_->OpenFilterList = [this](int direction) { filterNums_->ShowList(direction); };
    if (g.StartupAbort) return false;

    // The simulated line source and the recording path: capture from the chosen audio input,
    // completion and filing into the calls database.
    QString inputError;
    const TAudioInputChoice input = TAudioInputChoice::FromArguments(args_, &inputError);
    if (!inputError.isEmpty()) log_->LogGeneral(inputError);
    log_->LogGeneral(RecordingTexts::kAudioInput + input.Description());
    // The mixer belongs to the sound card; a stand-in input leaves the system's inputs alone.
    if (input.InputKind == TAudioInputChoice::Kind::Device)
        mixer_ = std::make_unique<TPulseMixer>();
    micRec_ = std::make_unique<TCAudioRecorder>(input.Create());
    SetUpAlarms();
    // Storage management: recycling or backup runs when the recordings fill their medium.
    storageRuns_ = std::make_unique<TStorageRuns>(*db_, settings, g, TChannelTable::Instance());
    completion_ =
        std::make_unique<TCallCompletion>(TChannelTable::Instance(), settings, g, *db_,
                                          filtered_.get(), alarms_.get(), storageRuns_.get());
    recorder_ = std::make_unique<TdmRecorder>(TChannelTable::Instance(), settings, *micRec_,
                                              mixer_.get(), *completion_, alarms_.get());
    recorder_->OnCallStateChanged = [main](bool active) { main->SetRecordDown(active); };
    recorder_->OnEndCall = [controller] { controller->Record(); };
    // What an interruption left without its record is filed before any call can begin.
    const TCallRecovery::Summary recovered =
        TCallRecovery(TChannelTable::Instance(), settings, *completion_, *db_).RecoverAll();
    // Damaged tables: the user is told once what was kept and what was recovered.
    const QStringList salvage = db_->SalvageReport(recovered.Recovered);
    if (!salvage.isEmpty()) {
        for (const QString& line : salvage) log_->LogGeneral(line);
        ShowMessage(salvage.join('\n'));
    }
    recorderFeature_ = std::make_unique<TRecorderFeature>(*recorder_);
    controller_->SetRecorder(recorderFeature_.get());

    // 6. The password windows.
    newPassword_ = std::make_unique<TfmNewPassword>(config_->Store(), config_.get(), config_.get());
    config_->AskNewPassword = [this](int kind) { newPassword_->AskNewPassword(kind); };
    passProtection_ = std::make_unique<TfmPassProtection>(main_.get());
    // The copies of the database files: one now when there is none yet, then on schedule.
    dbBackups_ = std::make_unique<TDbBackupSchedule>(
        settings, g.SettingsIni, controller_->LastDbBackup, g.AppDataDir + "/backupDB",
        [this] { db_->BackupDatabaseFiles(); });
    dbBackups_->CopyAtStart();
    // The developer's Tests window.
    testsWindow_ = std::make_unique<TfmTestPelmorant>(TChannelTable::Instance(), main_.get());
    TStorageRuns* runs = storageRuns_.get();
    testsWindow_->RecycleRun = [runs] {
        if (!runs->RecycleRunning()) runs->StartRecycleRun();
    };
    testsWindow_->BackupRun = [runs] {
        if (!runs->BackupRunning()) runs->StartBackupRun();
    };
    testsWindow_->ResetMediumLabels = [this] {
        try {
            db_->ResetMediumLabels();
        } catch (const std::exception& e) {
            ShowMessage(QString::fromUtf8(e.what()));
            return;
        }
        ShowMessage(SupervisionTexts::kOperationCompleted);
    };
    supervisionFeature_ = std::make_unique<TSupervisionFeature>(*config_, *dbWindow_, *dbBackups_,
                                                                *alarms_, *testsWindow_);
    controller_->SetSupervision(supervisionFeature_.get());
    controller_->Passwords().SetPrompt([this](TPasswordCheck::Kind kind) {
        return passProtection_->CheckPassword(kind == TPasswordCheck::Kind::Access
                                                  ? config_->Store().AccessPassword
                                                  : config_->Store().AdminPassword);
    });
    if (g.StartupAbort) return false;

    // The recordings' used space, before the timers start.
    g.UsedSpaceKb = db_->SumUsedSpace();
    return !g.StartupAbort;
}

void TPelmApplication::FollowCurrentRow(QAbstractItemView* grid, TVolgaDataset& dataset) {
    connect(grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this, &dataset](const QModelIndex& current) {
                if (current.isValid() && dataset.Active() && current.row() < dataset.RecordCount())
                    dataset.SetRecNo(current.row() + 1);
                fileActions_->UpdateFileActions();
            });
}

void TPelmApplication::SetUpAlarms() {
    TLiveSettings& settings = TLiveSettings::Instance();
    alarms_ =
        std::make_unique<TAlarms>(settings, TPelmGlobals::Instance(), TChannelTable::Instance(),
                                  db_->tblAlarms, TAlarmQueue::Instance());
    // Each beep on an output of its own (a stopping beep may still sound while the next starts).
    alarms_->MakeOutput = [] { return std::make_unique<TQtWaveOutput>(); };
    TAlarms* alarms = alarms_.get();
    // The alarm e-mails go out on the mailer's own thread.
    mailer_ = std::make_unique<TAlarmMailer>(settings);
    TAlarmMailer* mailer = mailer_.get();
    alarms_->OverTimeMail = [mailer](int channel) { mailer->SendOverTimeMail(channel); };
    alarms_->SoftwareErrorMail = [mailer] { mailer->SendSoftwareErrorMail(); };
    alarms_->HddFullMail = [mailer] { mailer->SendHddFullMail(); };
    config_->TestServer = [mailer] { mailer->TestServer(); };
    connect(mailer, &TAlarmMailer::testCompleted, this,
            [](const QString& message) { ShowMessage(message); });
    db_->SoftwareErrorAlarm = [alarms](int channel) {
        alarms->QueueSoftwareAlarm(channel);
        alarms->SendSoftwareErrorMail();
    };
    TAlarmsPage* page = main_->Pages().Alarms;
    alarmsModel_ = std::make_unique<TDatasetModel>();
    alarmsModel_->SetDataset(&db_->tblAlarms, TAlarmsPage::AlarmColumns());
    alarmsModel_->Attach(page->Grid());
    alarms_->Model = alarmsModel_.get();
    connect(page, &TAlarmsPage::shown, alarms,
            [page, alarms] { page->ClearButton()->setEnabled(alarms->HasMessages()); });
    connect(page, &TAlarmsPage::stopAlarmClicked, alarms, &TAlarms::StopAlarm);
    connect(page, &TAlarmsPage::clearMessagesClicked, alarms, [page, alarms] {
        if (alarms->ClearMessages()) page->ClearButton()->setEnabled(false);
    });
    connect(page, &TAlarmsPage::overtimeSampleClicked, alarms,
            [alarms] { alarms->QueueOverTimeAlarm(1); });
    connect(page, &TAlarmsPage::hardwareSampleClicked, alarms, &TAlarms::QueueHardwareAlarm);
    connect(page, &TAlarmsPage::softwareSampleClicked, alarms,
            [alarms] { alarms->QueueSoftwareAlarm(3); });
}

void TPelmApplication::SetUpSearch() {
    TSearchPage* page = main_->Pages().Search;
    TVisualSql* criteria = page->VisualSql();
    criteria->ChannelCount = [] { return TChannelTable::Instance().Count(); };
    criteria->PickFolder = [this] {
        TfmGetFolder picker(db_->Tree, main_.get());
        return picker.GetFolder();
    };
    search_ = std::make_unique<TCallSearch>(*db_);
    search_->Model = searchModel_.get();
    search_->UpdateFileActions = [this] { fileActions_->UpdateFileActions(); };
    connect(page, &TSearchPage::searchClicked, search_.get(),
            [this, page] { search_->Search(page->VisualSql()->BuildSql(page->Conjunction())); });
    connect(page, &TSearchPage::clearClicked, search_.get(), [this, page] {
        page->VisualSql()->ClearRows();
        search_->Clear();
    });
    // The search grid's current row is the result's current record.
    FollowCurrentRow(main_->gdSearch(), db_->queSearch);
}

void TPelmApplication::Run() {
    // The access password is asked before any window is shown; a wrong one ends the program.
    if (!controller_->AskAccessAtFirstShow()) return;
    main_->show();
    if (QStandardItem* first = db_ ? db_->Tree.NodeAt(0) : nullptr)
        main_->tree()->SelectNode(first);
    controller_->Timer1()->start();
}
