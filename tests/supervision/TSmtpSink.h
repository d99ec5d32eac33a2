// A mail server on 127.0.0.1 for the tests, run by smtp_sink.py for as long as the object
// lives: it saves what it receives, or refuses, or stays silent (see the script for the modes).
#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

class TSmtpSink {
public:
    explicit TSmtpSink(const QString& mode) {
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start(PELM_PYTHON3, {PELM_SMTP_SINK, mode, dir_.path()});
        QByteArray line;
        while (!line.endsWith('\n') && process_.waitForReadyRead(10000))
            line += process_.readLine();
        if (line.startsWith("READY ")) port_ = line.mid(6).trimmed().toInt();
        EXPECT_GT(port_, 0) << "the mail server did not start: " << line.toStdString();
    }
    ~TSmtpSink() {
        process_.closeWriteChannel();  // the script ends when its input closes
        if (!process_.waitForFinished(5000)) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }
    TSmtpSink(const TSmtpSink&) = delete;
    TSmtpSink& operator=(const TSmtpSink&) = delete;

    int Port() const { return port_; }

    // The messages received, in order: see describe() in the script for the fields.
    QList<QJsonObject> Messages() const {
        QList<QJsonObject> out;
        for (int n = 1;; ++n) {
            QFile f(dir_.filePath(QString::number(n) + ".json"));
            if (!f.open(QIODevice::ReadOnly)) return out;
            out << QJsonDocument::fromJson(f.readAll()).object();
        }
    }

private:
    QTemporaryDir dir_;
    QProcess process_;
    int port_ = 0;
};
