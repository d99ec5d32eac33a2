#include "TfmPasswords.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "SupervisionTexts.h"
#include "TConfigStore.h"
#include "TMessages.h"
#include "TPictures.h"

namespace T = SupervisionTexts;

namespace {

constexpr Qt::WindowFlags kNoTitleButtons =
    Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;

QLineEdit* PasswordField(QWidget* parent, const char* name) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setEchoMode(QLineEdit::Password);
    e->setStyleSheet("lineedit-password-character: 42;");  // "*" for each character
    return e;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// New password

TfmNewPassword::TfmNewPassword(TConfigStore& store, QWidget* configWindow, QWidget* parent)
    : QDialog(parent, kNoTitleButtons), store_(store), configWindow_(configWindow) {
    setObjectName("fmNewPassword");
    setWindowTitle(T::kPasswordProtection);
    setModal(true);
    edtPass = PasswordField(this, "edtPass");
    edtNewpass = PasswordField(this, "edtNewpass");
    btnOk = new QPushButton(T::kOk, this);
    btnOk->setObjectName("btnOk");
    btnOk->setDefault(true);
    auto* form = new QFormLayout;
    form->addRow(T::kNewPassword, edtPass);
    form->addRow(T::kNewPasswordConfirm, edtNewpass);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOk);
    auto* l = new QVBoxLayout(this);
    l->addLayout(form);
    l->addLayout(buttons);
    l->setSizeConstraint(QLayout::SetFixedSize);
    connect(btnOk, &QPushButton::clicked, this, &TfmNewPassword::btnOkClick);
}

void TfmNewPassword::ClearFields() {
    edtPass->clear();
    edtNewpass->clear();
    edtPass->setFocus();
}

void TfmNewPassword::Prepare(int kind) {
    Kind = kind;
    if (configWindow_) {
        const QPoint at = configWindow_->frameGeometry().topLeft();
        move(at.x() + 50, at.y() + 100);
    }
    ClearFields();
}

void TfmNewPassword::AskNewPassword(int kind) {
    Prepare(kind);
    exec();
}

void TfmNewPassword::btnOkClick() {
    const QString first = edtPass->text();
    if (first != edtNewpass->text()) {
        ShowMessage(T::kConfirmationFailed);
        ClearFields();
        return;
    }
    if (first.isEmpty()) {
        ClearFields();
        return;
    }
    if (Kind == 2) store_.AccessPassword = first;
    else store_.AdminPassword = first;
    ClearFields();
    accept();
}

void TfmNewPassword::closeEvent(QCloseEvent* e) { e->ignore(); }

// ---------------------------------------------------------------------------------------------
// Password prompt

TfmPassProtection::TfmPassProtection(QWidget* mainWindow) : QDialog(mainWindow, kNoTitleButtons) {
    setObjectName("fmPassProtection");
    setWindowTitle(T::kPasswordProtection);
    setModal(true);
    auto* picture = new QLabel(this);
    picture->setPixmap(TPictures::AppIcon().pixmap(48, 48));
    edtPass = PasswordField(this, "edtPass");
    btnOk = new QPushButton(T::kOk, this);
    btnOk->setObjectName("btnOk");
    btnOk->setDefault(true);
    btnOk->setAutoDefault(true);
    auto* form = new QFormLayout;
    form->addRow(T::kPassword, edtPass);
    auto* top = new QHBoxLayout;
    top->addWidget(picture);
    top->addLayout(form);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOk);
    auto* l = new QVBoxLayout(this);
    l->addLayout(top);
    l->addLayout(buttons);
    l->setSizeConstraint(QLayout::SetFixedSize);
    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
}

void TfmPassProtection::Prepare(const QString& expected) {
    Expected = expected;
    edtPass->clear();
    adjustSize();
    if (QWidget* main = parentWidget()) {
        QRect r = rect();
        r.moveCenter(main->frameGeometry().center());
        move(r.topLeft());
    }
    edtPass->setFocus();
}

bool TfmPassProtection::Matches() const { return edtPass->text() == Expected; }

bool TfmPassProtection::CheckPassword(const QString& expected) {
    Prepare(expected);
    exec();
    const bool ok = Matches();
    edtPass->clear();
    return ok;
}

void TfmPassProtection::closeEvent(QCloseEvent* e) { e->ignore(); }
