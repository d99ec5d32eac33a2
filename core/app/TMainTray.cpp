#include "TMainTray.h"

#include <QMenu>

#include "CoreTexts.h"
#include "TPictures.h"

TMainTray::TMainTray(QObject* parent)
    : QSystemTrayIcon(TPictures::AppIcon(), parent), menu_(std::make_unique<QMenu>()) {
    setToolTip(CoreTexts::kAppTitle);
    QAction* restore = menu_->addAction("Restore");
    restore->setObjectName("pmiRestore");
    connect(restore, &QAction::triggered, this, &TMainTray::restoreRequested);
    menu_->addSeparator();
    QAction* exit = menu_->addAction("Exit");
    exit->setObjectName("pmiExit");
    connect(exit, &QAction::triggered, this, &TMainTray::exitRequested);
    setContextMenu(menu_.get());
    connect(this, &QSystemTrayIcon::activated, this, [this](ActivationReason r) {
        if (r == DoubleClick || r == Trigger) emit restoreRequested();
    });
}

TMainTray::~TMainTray() = default;
