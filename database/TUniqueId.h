// The 8-character identifiers of calls, folders and filtered numbers.
#pragma once

#include <QDateTime>
#include <QString>

// Base-62 digits: an hour field (3), a second field (2) and a sequence field (3) made from the
// local clock and a process-wide counter, so that two identifiers made in the same hundredth
// of a second still differ.
QString GenerateUniqueId();
// The same for a given moment (tests), advancing the same counter.
QString GenerateUniqueIdAt(const QDateTime& now);
// Starts the counter afresh (tests).
void ResetUniqueIdCounter();
