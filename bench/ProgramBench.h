// What the benchmarks of the whole program share: a home of its own in a temporary folder (set
// before the application object exists), messages printed instead of shown in a box that waits
// for a click, and the process's CPU time.
#pragma once

#include <sys/resource.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

#include "TMessages.h"

class TBenchHome {
public:
    TBenchHome() {
        for (const char* sub : {"config", "data"}) QDir(home_.path()).mkpath(sub);
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home_.path() + "/config"));
        qputenv("XDG_DATA_HOME", QFile::encodeName(home_.path() + "/data"));
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    }

private:
    QTemporaryDir home_;
};

class TPrintedMessages : public TMessages {
public:
    void Show(const QString& text) override {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    }
};

// User + system CPU seconds of this process so far.
inline double CpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}
