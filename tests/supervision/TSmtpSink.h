// A mail server on 127.0.0.1 for the tests, run by smtp_sink.py for as long as the object
// lives: it saves what it receives, or refuses, or stays silent (see the script for the modes).
// The script is started with a plain fork and exec rather than QProcess: Qt starts processes
// vfork-style, which ThreadSanitizer does not follow, and it then reports races that are none.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>

class TSmtpSink {
public:
    explicit TSmtpSink(const QString& mode) {
        const QByteArray python = PELM_PYTHON3, script = PELM_SMTP_SINK, m = mode.toLocal8Bit(),
                         folder = QFile::encodeName(dir_.path());
        int in[2], out[2];
        if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) {
            ADD_FAILURE() << "no pipe";
            return;
        }
        pid_ = fork();
        if (pid_ == 0) {
            dup2(in[0], STDIN_FILENO);
            dup2(out[1], STDOUT_FILENO);
            execl(python.constData(), python.constData(), script.constData(), m.constData(),
                  folder.constData(), static_cast<char*>(nullptr));
            _exit(127);
        }
        close(in[0]);
        close(out[1]);
        input_ = in[1];
        QByteArray line;
        pollfd p{out[0], POLLIN, 0};
        char c = 0;
        while (!line.endsWith('\n') && poll(&p, 1, 10000) > 0 && read(out[0], &c, 1) == 1)
            line += c;
        close(out[0]);
        if (line.startsWith("READY ")) port_ = line.mid(6).trimmed().toInt();
        EXPECT_GT(port_, 0) << "the mail server did not start: " << line.toStdString();
    }
    ~TSmtpSink() {
        if (input_ >= 0) close(input_);  // the script also ends when its input closes
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        for (int i = 0; i < 100; ++i) {
            if (waitpid(pid_, nullptr, WNOHANG) == pid_) return;
            QThread::msleep(50);
        }
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
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
    pid_t pid_ = -1;
    int input_ = -1;
    int port_ = 0;
};
