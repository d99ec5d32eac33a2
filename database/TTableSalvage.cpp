#include "TTableSalvage.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <set>

#include "TVolgaCursor.h"
#include "TVolgaEnv.h"
#include "TVolgaRecord.h"

namespace {

std::string KeyOf(const TVolgaField& f, const TVolgaRecordData& data) {
    switch (f.DataType) {
        case TVolgaFieldType::SmallInt:
        case TVolgaFieldType::Integer:
        case TVolgaFieldType::Int64:
        case TVolgaFieldType::AutoInc:
            return std::to_string(f.GetInt(data));
        default:
            return f.GetText(data);
    }
}

// Loads what can be read of a file: true with the records before any damage.
bool ReadAsMuchAsCan(const QString& path, TVolgaCursor& c, std::string& reason) {
    std::string image, error;
    if (!TVolgaEnv::Default()->ReadFile(QFile::encodeName(path).toStdString(), image, error)) {
        reason = error;
        return false;
    }
    c.PartialOpen = true;
    return c.LoadFromImage(image, reason);
}

int LiveCount(const TVolgaCursor& c) {
    int n = 0;
    for (const auto& r : c.Records()) n += r->IsLive() ? 1 : 0;
    return n;
}

}  // namespace

bool TTableSalvage::Loads(const QString& path, QString* reason) {
    std::string image, error;
    if (!TVolgaEnv::Default()->ReadFile(QFile::encodeName(path).toStdString(), image, error)) {
        if (reason) *reason = QString::fromStdString(error);
        return false;
    }
    TVolgaCursor c;
    int count = 0;
    if (c.CheckImage(image, error, count)) return true;
    if (reason) *reason = QString::fromStdString(error);
    return false;
}

TTableSalvage::Result TTableSalvage::Salvage(const QString& dataDir, const QString& fileName,
                                             const std::vector<TVolgaFieldDef>& defs,
                                             const QString& keyField) {
    Result result;
    result.FileName = fileName;
    const QString path = dataDir + "/" + fileName;

    // What the file still holds (with the reason it does not load whole), and what its copy
    // holds.
    TVolgaCursor fromFile, fromCopy;
    std::string reason;
    const bool fileRead = ReadAsMuchAsCan(path, fromFile, reason);
    result.Reason = QString::fromStdString(reason);
    const QString copyPath = dataDir + "/backupDB/" + fileName;
    TVolgaCursor whole;
    std::string copyImage, copyError;
    const bool copyRead =
        TVolgaEnv::Default()->ReadFile(QFile::encodeName(copyPath).toStdString(), copyImage,
                                       copyError) &&
        fromCopy.LoadFromImage(copyImage, copyError);  // only a copy that loads whole

    // The new table starts from the file's records (the newer), or from the copy, or empty.
    TVolgaCursor& base = fileRead ? fromFile : copyRead ? fromCopy : whole;
    if (!fileRead && !copyRead) {
        std::string message;
        whole.LoadFromImage(TVolgaCursor::BuildEmptyImage(defs), message);
    }
    if (fileRead) {
        result.FromFile = LiveCount(fromFile);
        const TVolgaField* key =
            keyField.isEmpty() ? nullptr : fromFile.FieldByName(keyField.toStdString());
        const TVolgaField* copyKey =
            keyField.isEmpty() ? nullptr : fromCopy.FieldByName(keyField.toStdString());
        const bool sameLayout =
            copyRead && fromCopy.FieldDescriptionText() == fromFile.FieldDescriptionText();
        if (copyRead && sameLayout && key && copyKey) {
            // The records the file lost, from the copy.
            std::set<std::string> have;
            for (const auto& r : fromFile.Records())
                if (r->IsLive()) have.insert(KeyOf(*key, r->Data));
            for (const auto& r : fromCopy.Records()) {
                if (!r->IsLive() || have.count(KeyOf(*copyKey, r->Data))) continue;
                std::string message;
                if (fromFile.PostRecord(r->Data, nullptr, message)) ++result.FromCopy;
            }
            fromFile.CommitAllChanges();
        } else if (copyRead && LiveCount(fromCopy) > result.FromFile) {
            // No way to tell the records apart: the fuller of the two.
            result.FromFile = 0;
            result.FromCopy = LiveCount(fromCopy);
            std::string image;
            fromCopy.BuildImage(image);
            return Replace(path, image, result);
        }
    } else if (copyRead) {
        result.FromCopy = LiveCount(fromCopy);
    }
    std::string image;
    base.BuildImage(image);
    return Replace(path, image, result);
}

TTableSalvage::Result& TTableSalvage::Replace(const QString& path, const std::string& image,
                                              Result& result) {
    // The damaged file moves aside under a name no other file has, then the new table is
    // written in its place.
    const QString stamp = QDateTime::currentDateTime().toString("yyyyMMdd-hhmmss");
    QString kept = path + ".damaged-" + stamp;
    for (int n = 2; QFileInfo::exists(kept); ++n)
        kept = path + ".damaged-" + stamp + "-" + QString::number(n);
    if (!QFile::rename(path, kept)) {
        result.Error = QFile(path).errorString();
        return result;
    }
    result.KeptAs = kept;
    std::string error;
    if (!TVolgaEnv::Default()->WriteFileAtomic(QFile::encodeName(path).toStdString(), image,
                                               error)) {
        result.Error = QString::fromStdString(error);
        QFile::rename(kept, path);  // back where it was: nothing is lost, the table stays shut
        result.KeptAs.clear();
    }
    return result;
}
