// The main window's tool bar "Panel9": E-mail, Settings, Hide, Help and the external tool's
// button. It reports clicks; the window decides what they do.
#pragma once

#include <QWidget>

class QToolButton;

class TMainToolbar : public QWidget {
    Q_OBJECT
public:
    explicit TMainToolbar(QWidget* parent = nullptr);

    // "btnEmail", "btnSettings", "btnHide", "btnHelp" or "SpeedButton1".
    QToolButton* Button(const QString& objectName) const;
    QToolButton* SpeedButton1() const { return tool_; }

signals:
    void emailClicked();
    void settingsClicked();
    void hideClicked();
    void helpClicked();
    void toolClicked();

private:
    QToolButton* tool_ = nullptr;
};
