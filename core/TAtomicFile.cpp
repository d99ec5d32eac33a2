#include "TAtomicFile.h"

#include <QFile>
#include <string>
#include <string_view>

#include "TVolgaEnv.h"

bool TAtomicFile::Write(const QString& path, const QByteArray& data, QString* error) {
    std::string message;
    const std::string name = QFile::encodeName(path).toStdString();
    if (TVolgaEnv::Default()->WriteFileAtomic(
            name, std::string_view(data.constData(), static_cast<size_t>(data.size())), message))
        return true;
    if (error) *error = QString::fromLocal8Bit(message.c_str());
    return false;
}
