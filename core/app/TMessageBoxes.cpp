#include "TMessageBoxes.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

bool CanAsk() {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return false;
    const QString platform = QGuiApplication::platformName();
    return platform != "offscreen" && platform != "minimal";
}

}  // namespace

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

int TMessageBoxes::Choose(const QString& text, const QStringList& buttons) {
    if (!CanAsk()) return TMessages::Choose(text, buttons);
    QMessageBox box(QMessageBox::Question, QApplication::applicationName(), text,
                    QMessageBox::NoButton, QApplication::activeWindow());
    QList<QAbstractButton*> added;
    for (const QString& caption : buttons) added << box.addButton(caption, QMessageBox::ActionRole);
    box.exec();
    return static_cast<int>(added.indexOf(box.clickedButton()));
}

bool TMessageBoxes::ChooseFolder(const QString& caption, QString& folder) {
    if (!CanAsk()) return false;
    const QString answer =
        QFileDialog::getExistingDirectory(QApplication::activeWindow(), caption, folder);
    if (answer.isEmpty()) return false;
    folder = answer;
    return true;
}
