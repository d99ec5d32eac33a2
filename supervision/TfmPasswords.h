// The two password windows: TfmNewPassword takes a new password typed twice, TfmPassProtection
// asks for the password in force. Neither has a Cancel button or title-bar buttons, and Escape
// does not leave them.
#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;
class TConfigStore;

class TfmNewPassword : public QDialog {
    Q_OBJECT
public:
    // `store` receives the new password; the window opens beside `configWindow`.
    TfmNewPassword(TConfigStore& store, QWidget* configWindow, QWidget* parent = nullptr);

    // Shows the window modally for kind 1 (administrator) or 2 (access) until a non-empty
    // password has been typed twice; the store's password of that kind then holds it.
    void AskNewPassword(int kind);
    // Prepares the window for a kind as AskNewPassword does, without running it.
    void Prepare(int kind);
    void btnOkClick();

    int Kind = 1;
    QLineEdit* edtPass;
    QLineEdit* edtNewpass;
    QPushButton* btnOk;

public slots:
    void reject() override {}

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void ClearFields();
    TConfigStore& store_;
    QWidget* configWindow_;
};

class TfmPassProtection : public QDialog {
    Q_OBJECT
public:
    // Centred on `mainWindow` (its parent).
    explicit TfmPassProtection(QWidget* mainWindow = nullptr);

    // One attempt: true when the text typed equals `expected` exactly.
    bool CheckPassword(const QString& expected);
    void Prepare(const QString& expected);
    bool Matches() const;

    QString Expected;
    QLineEdit* edtPass;
    QPushButton* btnOk;

public slots:
    void reject() override {}

protected:
    void closeEvent(QCloseEvent* e) override;
};
