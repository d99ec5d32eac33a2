// The permission bits of a file or folder, for tests of the modes the program gives them.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>
#include <QString>

inline mode_t ModeOf(const QString& path) {
    struct stat st {};
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0) << qPrintable(path);
    return st.st_mode & 07777;
}
