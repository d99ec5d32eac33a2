#include "SystemFormat.h"

#include <mutex>
#include <optional>

namespace {

std::mutex formatMutex;
std::optional<TVolgaFormatSettings> current;

// Qt's format letters to the engine's: d dd M MM yy yyyy h hh H HH m mm s ss z zzz AP ap.
std::string Convert(const QString& qt, bool time) {
    std::string out;
    for (int i = 0; i < qt.size();) {
        QChar c = qt[i];
        int n = 1;
        while (i + n < qt.size() && qt[i + n] == c) ++n;
        if (c == '\'') {  // quoted literal
            int end = qt.indexOf('\'', i + 1);
            if (end < 0) end = qt.size();
            out += qt.mid(i + 1, end - i - 1).toStdString();
            i = end + 1;
            continue;
        }
        if (c == 'd') out += n >= 2 ? "dd" : "d";
        else if (c == 'M') out += n >= 2 ? "mm" : "m";
        else if (c == 'y') out += n >= 3 ? "yyyy" : "yy";
        else if (c == 'h' || c == 'H') out += n >= 2 ? "hh" : "h";
        else if (c == 'm') out += n >= 2 ? "nn" : "n";
        else if (c == 's') out += n >= 2 ? "ss" : "s";
        else if (c == 'z') out += "zzz";
        else if (c == 'A' || c == 'a') {
            if (time) out += "am/pm";
            if (i + n < qt.size() && (qt[i + n] == 'P' || qt[i + n] == 'p')) ++n;
        } else if (c == 't') {
            // time zone: left out
        } else {
            out += QString(n, c).toStdString();
        }
        i += n;
    }
    // Trim the blank a dropped time zone leaves at the end.
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

}  // namespace

TVolgaFormatSettings FormatSettingsFromLocale(const QLocale& locale) {
    TVolgaFormatSettings f;
    QString date = locale.dateFormat(QLocale::ShortFormat);
    // Month names cannot be read back reliably: such locales (the C locale among them) get the
    // ISO form.
    if (date.contains("MMM") || locale.language() == QLocale::C) date = "yyyy-MM-dd";
    f.ShortDateFormat = Convert(date, false);
    QString time = locale.timeFormat(QLocale::LongFormat);
    if (locale.language() == QLocale::C) time = "HH:mm:ss";
    f.LongTimeFormat = Convert(time, true);
    QString dec = locale.decimalPoint();
    f.DecimalSeparator = dec.isEmpty() ? '.' : dec.at(0).toLatin1();
    if (f.DecimalSeparator == 0) f.DecimalSeparator = '.';
    if (f.ShortDateFormat.empty()) f.ShortDateFormat = "yyyy-mm-dd";
    if (f.LongTimeFormat.empty()) f.LongTimeFormat = "hh:nn:ss";
    return f;
}

const TVolgaFormatSettings& SystemFormat() {
    std::lock_guard<std::mutex> lock(formatMutex);
    if (!current) current = FormatSettingsFromLocale();
    return *current;
}

void SetSystemFormat(const TVolgaFormatSettings& fmt) {
    std::lock_guard<std::mutex> lock(formatMutex);
    current = fmt;
}

QString DateTimeText(TDateTime value) {
    return QString::fromStdString(SystemFormat().FormatDateTime(value));
}
