// A real PulseAudio server of the test's own, with a 440 Hz sine source at 11025 Hz as the
// default input and a null sink as the output; the Qt audio of this process and pactl are
// pointed at it. Started as the tests run, on root or not; stopped by its PID at the end.
#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

class TPulseServer {
public:
    // False (with Error()) when the server could not be started.
    bool Start() {
        const QString pulseaudio = QStandardPaths::findExecutable("pulseaudio");
        if (pulseaudio.isEmpty()) return Fail("pulseaudio is not installed");
        const QString run = dir_.path() + "/pa";
        QDir().mkpath(run);
        QFile::setPermissions(
            run, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        const QString socket = run + "/native";
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", run);
        env.insert("HOME", dir_.path());
        process_.setProcessEnvironment(env);
        process_.setProcessChannelMode(QProcess::MergedChannels);
        process_.start(pulseaudio,
                       {"--daemonize=no", "--exit-idle-time=-1", "--system=false", "-n",
                        "--load=module-native-protocol-unix auth-anonymous=1 socket=" + socket,
                        "--load=module-null-sink sink_name=nullsink",
                        "--load=module-sine-source source_name=sine rate=11025 frequency=440"});
        if (!process_.waitForStarted(10000)) return Fail("pulseaudio did not start");
        qputenv("PULSE_SERVER", QFile::encodeName("unix:" + socket));
        for (int i = 0; i < 100; ++i) {
            if (process_.state() != QProcess::Running)
                return Fail("pulseaudio ended: " + QString::fromUtf8(process_.readAll()));
            if (QFile::exists(socket) && Pactl({"info"})) break;
            QThread::msleep(100);
        }
        if (!Pactl({"set-default-source", "sine"})) return Fail("the server does not answer");
        return true;
    }
    void Stop() {
        if (process_.state() == QProcess::NotRunning) return;
        process_.terminate();
        if (!process_.waitForFinished(5000)) {
            process_.kill();
            process_.waitForFinished(2000);
        }
    }
    ~TPulseServer() { Stop(); }
    const QString& Error() const { return error_; }

    static bool Pactl(const QStringList& args, QString* out = nullptr) {
        QProcess p;
        p.start("pactl", args);
        if (!p.waitForFinished(5000)) return false;
        if (out) *out = QString::fromUtf8(p.readAllStandardOutput());
        return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    }

private:
    bool Fail(const QString& e) {
        error_ = e;
        Stop();
        return false;
    }
    QTemporaryDir dir_;
    QProcess process_;
    QString error_;
};
