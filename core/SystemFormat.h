// The system's short date, long time and decimal separator as the table engine's format object.
#pragma once

#include <QLocale>
#include <QString>

#include "TVolgaFormatSettings.h"

// Format letters of the engine from the locale's short date and long time formats.
TVolgaFormatSettings FormatSettingsFromLocale(const QLocale& locale = QLocale::system());

// The format the program uses for every date and time text (settings, log lines, tables).
// Tests pin it with SetSystemFormat.
const TVolgaFormatSettings& SystemFormat();
void SetSystemFormat(const TVolgaFormatSettings& fmt);

// Date-time text: short date, a space, long time; the time is left out at exactly midnight.
QString DateTimeText(TDateTime value);
