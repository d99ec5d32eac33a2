// One running instance per user: a lock file in the runtime folder and a local socket through
// which a second start asks the first to show itself.
#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;

class TSingleInstance : public QObject {
    Q_OBJECT
public:
    // `folder`: where the lock and the socket live (the runtime folder by default).
    explicit TSingleInstance(const QString& folder = QString(), QObject* parent = nullptr);
    ~TSingleInstance() override;

    // True when this process is the first instance (it then listens for show requests). False
    // when another instance runs; that instance has been asked to show itself.
    bool Acquire();

signals:
    void showRequested();

private:
    QString folder_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer* server_ = nullptr;
};
