// The main window's status bar "StatusBar1": five sunken panels and, over the fourth, the
// progress bar of long folder-tree operations.
#pragma once

#include <QList>
#include <QStatusBar>

class QLabel;
class QProgressBar;

class TMainStatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit TMainStatusBar(QWidget* parent = nullptr);

    QLabel* Panel(int i) const { return panels_.value(i); }
    QProgressBar* Progress() const { return progress_; }
    // Lays the progress bar over its panel again (after the window was shown).
    void PlaceProgressBar();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QList<QLabel*> panels_;
    QProgressBar* progress_ = nullptr;
};
