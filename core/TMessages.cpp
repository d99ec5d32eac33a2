#include "TMessages.h"

#include <QApplication>
#include <QMessageBox>

namespace {
TMessages realSink;
TMessages* installed = nullptr;
}  // namespace

TMessages& TMessages::Instance() { return installed ? *installed : realSink; }
void TMessages::Install(TMessages* sink) { installed = sink; }

void TMessages::Show(const QString& text) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return;
    auto* box = new QMessageBox(QMessageBox::NoIcon, QApplication::applicationName(), text,
                                QMessageBox::Ok);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}
