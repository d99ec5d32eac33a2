#include "TAlarmMessage.h"

#include <QDateTime>
#include <QTime>

namespace {

// Header values come from single-line edit fields, but the settings file could still hold a
// line break; one must never start a header of its own.
QString OneLine(const QString& text) {
    QString t = text;
    t.replace(QChar('\r'), QChar(' ')).replace(QChar('\n'), QChar(' '));
    return t.trimmed();
}

bool IsAscii(const QString& text) {
    for (QChar c : text)
        if (c.unicode() > 0x7e || c.unicode() < 0x20) return false;
    return true;
}

// An unstructured header text: as it is when ASCII, else one UTF-8 encoded word per piece
// short enough to keep each encoded word within 75 characters.
QString Unstructured(const QString& text) {
    if (IsAscii(text)) return text;
    QStringList words;
    const QByteArray utf8 = text.toUtf8();
    qsizetype start = 0;
    while (start < utf8.size()) {
        qsizetype end = std::min(start + 45, utf8.size());
        // Never cut a character: step back over continuation bytes.
        while (end < utf8.size() && end > start + 1 && (utf8[end] & 0xC0) == 0x80) --end;
        words << "=?UTF-8?B?" + QString::fromLatin1(utf8.mid(start, end - start).toBase64()) + "?=";
        start = end;
    }
    return words.join(' ');
}

// A display name: encoded when not ASCII, quoted when it holds characters that a bare
// phrase may not.
QString Phrase(QString name) {
    if (name.size() >= 2 && name.startsWith('"') && name.endsWith('"'))
        name = name.mid(1, name.size() - 2);
    if (name.isEmpty()) return name;
    if (!IsAscii(name)) return Unstructured(name);
    static const QString kNeedQuotes = "()<>[]:;@\\,.\"";
    for (QChar c : name)
        if (kNeedQuotes.contains(c)) {
            name.replace("\\", "\\\\").replace("\"", "\\\"");
            return '"' + name + '"';
        }
    return name;
}

// "Name <address>" with the name made safe, or the bare address.
QString Mailbox(const QString& name, const QString& address) {
    const QString phrase = Phrase(name);
    return phrase.isEmpty() ? address : phrase + " <" + address + ">";
}

QString Mailbox(const QString& text) {
    const QString t = OneLine(text);
    const qsizetype open = t.lastIndexOf('<');
    return Mailbox(open < 0 ? QString() : t.left(open).trimmed(), TAlarmMessage::AddressOf(t));
}

std::string Angled(const QString& address) {
    return ("<" + address + ">").toStdString();
}

}  // namespace

QString TAlarmMessage::AddressOf(const QString& text) {
    const QString t = OneLine(text);
    const qsizetype open = t.lastIndexOf('<');
    if (open < 0) return t;
    const qsizetype close = t.indexOf('>', open);
    return t.mid(open + 1, close < 0 ? -1 : close - open - 1).trimmed();
}

QStringList TAlarmMessage::UsedRecipients() const {
    QStringList used;
    for (const QString& r : Recipients)
        if (!OneLine(r).isEmpty()) used << r;
    return used;
}

std::string TAlarmMessage::Content() const {
    QStringList headers;
    headers << "Date: " + QDateTime(Date, QTime(0, 0)).toString(Qt::RFC2822Date);
    headers << "From: " + Mailbox(OneLine(SenderName), AddressOf(Sender));
    headers << "Reply-To: " + Mailbox(Sender);
    headers << "Subject: " + Unstructured(OneLine(Subject));
    QStringList to;
    for (const QString& r : UsedRecipients()) to << Mailbox(r);
    if (!to.isEmpty()) headers << "To: " + to.join(", ");
    headers << "MIME-Version: 1.0";
    headers << "Content-Type: text/plain; charset=UTF-8";
    headers << "Content-Transfer-Encoding: 8bit";
    QString text = headers.join("\r\n") + "\r\n\r\n";
    for (const QString& line : Body) text += line + "\r\n";
    return text.toStdString();
}

std::string TAlarmMessage::EnvelopeFrom() const {
    return Angled(AddressOf(Sender));
}

std::vector<std::string> TAlarmMessage::EnvelopeRecipients() const {
    std::vector<std::string> out;
    for (const QString& r : UsedRecipients()) out.push_back(Angled(AddressOf(r)));
    return out;
}
