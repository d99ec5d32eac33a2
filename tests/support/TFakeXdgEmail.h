// A stand-in for xdg-email on PATH (the mail hand-off's tests): it keeps its command line and
// exits as told. PATH is restored when it goes.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

class TFakeXdgEmail {
public:
    explicit TFakeXdgEmail(int exitCode = 0) {
        const QString script = bin.path() + "/xdg-email";
        QFile f(script);
        f.open(QIODevice::WriteOnly);
        f.write("#!/bin/sh\nprintf '%s\\0' \"$@\" > \"" + QFile::encodeName(Log()) + "\"\nexit " +
                QByteArray::number(exitCode) + "\n");
        f.close();
        f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        oldPath = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(bin.path()) + ":" + oldPath);
    }
    ~TFakeXdgEmail() { qputenv("PATH", oldPath); }
    QString Log() const { return bin.path() + "/args"; }
    // The command line it was given; empty when it was not run.
    QStringList Arguments() const {
        QFile f(Log());
        if (!f.open(QIODevice::ReadOnly)) return {};
        QStringList args;
        for (const QByteArray& a : f.readAll().split('\0')) args << QString::fromUtf8(a);
        args.removeLast();  // after the last NUL
        return args;
    }

private:
    QTemporaryDir bin;
    QByteArray oldPath;
};
