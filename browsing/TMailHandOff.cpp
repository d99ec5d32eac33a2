#include "TMailHandOff.h"

#include <QProcess>

#include "BrowsingTexts.h"

QStringList TMailHandOff::Arguments(const QString& body, const QStringList& attachments) {
    QStringList args = {"--body", body};
    for (const QString& file : attachments) args << "--attach" << file;
    return args;
}

bool TMailHandOff::Compose(const QString& body, const QStringList& attachments, QString* error) {
    QProcess p;
    p.start("xdg-email", Arguments(body, attachments));
    QString reason;
    if (!p.waitForStarted(10000)) {
        reason = BrowsingTexts::kMailNotInstalled;
    } else if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit) {
        reason = BrowsingTexts::kMailGeneralFailure;
    } else {
        // xdg-email's exit statuses: 1 syntax, 2 a file missing, 3 no tool for it, 4 failed.
        switch (p.exitCode()) {
            case 0:
                return true;
            case 2:
                reason = BrowsingTexts::kMailAttachmentNotFound;
                break;
            case 3:
                reason = BrowsingTexts::kMailNotSupported;
                break;
            default:
                reason = BrowsingTexts::kMailGeneralFailure;
                break;
        }
        const QString said = QString::fromLocal8Bit(p.readAllStandardError()).trimmed();
        if (!said.isEmpty()) reason += " (" + said + ")";
    }
    if (error) *error = QString(BrowsingTexts::kMailFailed).arg(reason);
    return false;
}
