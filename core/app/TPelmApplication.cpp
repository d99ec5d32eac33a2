#include "TPelmApplication.h"

#include <QTimer>

#include "TChannelTable.h"
#include "TEventLog.h"
#include "TLiveSettings.h"
#include "TPelmGlobals.h"
#include "TfmLog.h"
#include "TfmPelmUsb.h"

TPelmApplication::TPelmApplication(const QStringList& args, QObject* parent)
    : QObject(parent), args_(args) {}

TPelmApplication::~TPelmApplication() {
    logWindow_.reset();
    main_.reset();
    if (TEventLog::Instance() == log_.get()) TEventLog::SetInstance(nullptr);
}

bool TPelmApplication::Start() {
    TPelmGlobals& g = TPelmGlobals::Instance();
    g.StartupAbort = false;
    log_ = std::make_unique<TEventLog>();
    TEventLog::SetInstance(log_.get());

    // The main window opens the stores and builds the channel table.
    main_ = std::make_unique<TfmPelmUsb>(g, TChannelTable::Instance(), TLiveSettings::Instance(),
                                         args_);
    if (g.StartupAbort) return false;
    logWindow_ = std::make_unique<TfmLog>(log_.get(), &g.SettingsIni, g.AppDataDir + "/Pelmorant.log");
    for (const QString& note : main_->StartupNotes) log_->LogGeneral(note);
    connect(main_.get(), &TfmPelmUsb::logWindowRequested, logWindow_.get(), [this] {
        logWindow_->show();
        logWindow_->raise();
    });
    if (g.StartupAbort) return false;
    return true;
}

void TPelmApplication::Run() {
    main_->show();
    main_->Timer1()->start();
}
