#include "TMessages.h"

#include <QApplication>
#include <QInputDialog>
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

bool TMessages::Confirm(const QString& text) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return false;
    return QMessageBox::question(QApplication::activeWindow(), QApplication::applicationName(),
                                 text, QMessageBox::Ok | QMessageBox::Cancel,
                                 QMessageBox::Cancel) == QMessageBox::Ok;
}

bool TMessages::InputQuery(const QString& caption, const QString& prompt, QString& value) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return false;
    bool ok = false;
    QString answer = QInputDialog::getText(QApplication::activeWindow(), caption, prompt,
                                           QLineEdit::Normal, value, &ok);
    if (ok) value = answer;
    return ok;
}
