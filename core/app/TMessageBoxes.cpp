#include "TMessageBoxes.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

void TMessageBoxes::Show(const QString& text) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return;
    auto* box = new QMessageBox(QMessageBox::NoIcon, QApplication::applicationName(), text,
                                QMessageBox::Ok);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

bool TMessageBoxes::Confirm(const QString& text) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return false;
    return QMessageBox::question(QApplication::activeWindow(), QApplication::applicationName(),
                                 text, QMessageBox::Ok | QMessageBox::Cancel,
                                 QMessageBox::Cancel) == QMessageBox::Ok;
}

bool TMessageBoxes::InputQuery(const QString& caption, const QString& prompt, QString& value) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return false;
    bool ok = false;
    QString answer = QInputDialog::getText(QApplication::activeWindow(), caption, prompt,
                                           QLineEdit::Normal, value, &ok);
    if (ok) value = answer;
    return ok;
}
