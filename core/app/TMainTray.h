// The program's icon in the system tray, with its menu "Restore" / "Exit". A click or a double
// click on the icon asks for the window as "Restore" does.
#pragma once

#include <QSystemTrayIcon>
#include <memory>

class QMenu;

class TMainTray : public QSystemTrayIcon {
    Q_OBJECT
public:
    explicit TMainTray(QObject* parent = nullptr);
    ~TMainTray() override;

signals:
    void restoreRequested();
    void exitRequested();

private:
    std::unique_ptr<QMenu> menu_;
};
