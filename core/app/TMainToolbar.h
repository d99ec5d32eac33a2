// The main window's tool bar "Panel9": E-mail, Settings, Hide, Help, the external tool's
// button and, at the right, Record. It reports clicks; the window decides what they do.
#pragma once

#include <QWidget>

class QToolButton;

class TMainToolbar : public QWidget {
    Q_OBJECT
public:
    explicit TMainToolbar(QWidget* parent = nullptr);

    // "btnEmail", "btnSettings", "btnHide", "btnHelp", "SpeedButton1" or "btnRecord".
    QToolButton* Button(const QString& objectName) const;
    QToolButton* SpeedButton1() const { return tool_; }
    QToolButton* RecordButton() const { return record_; }

signals:
    void emailClicked();
    void settingsClicked();
    void hideClicked();
    void helpClicked();
    void toolClicked();
    void recordClicked();

private:
    QToolButton* tool_ = nullptr;
    QToolButton* record_ = nullptr;
};
