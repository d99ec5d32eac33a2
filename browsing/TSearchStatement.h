// The search's statement: the criteria rows of the search page as data, and the SELECT text
// the query engine runs for them. Every criterion becomes one comparison on the calls table;
// they are joined by the conjunction, one per line. A typed value has its double quotes
// doubled, so that any text searches for itself and cannot end the quoted literal; dates and
// times are written in the program's one date and time format, the one the engine reads them
// with. Pure functions; any thread.
#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QTime>
#include <vector>

#include "TVolgaFormatSettings.h"

class TSearchStatement {
public:
    enum class Field {
        Memo,
        CallerId,
        Dtmf,
        Date,
        Time,
        AgeInDays,
        Channel,
        Folder,
        CallDirection
    };

    // One row of criteria. `Operator` is an index into Operators(field); the value is the one
    // the field's value control gives.
    struct Criterion {
        Field CriterionField = Field::Memo;
        int Operator = 0;
        QString Text;      // Memo, Caller ID, DTMF digits
        QDate Date;        // Date
        QTime Time;        // Time
        int Number = 0;    // Age in days, Channel, Call direction (0 Inbound, 1 Outbound,
                           // 2 Undefined)
        QString FolderId;  // Folder
    };

    // The field selector's items, in the order of Field.
    static QStringList FieldNames();
    static Field FieldAt(int index) { return static_cast<Field>(index); }
    // The operator selector's items of a field, the first preselected; none for Folder.
    static QStringList Operators(Field field);
    // The call direction list's items.
    static QStringList Directions();

    // "SELECT * FROM calls WHERE " and the criteria's comparisons joined by " " + conjunction
    // and a line feed. `today` is the day "Age in days" counts back from.
    static QString Build(const std::vector<Criterion>& criteria, const QString& conjunction,
                         const QDate& today, const TVolgaFormatSettings& format);
    static QString Condition(const Criterion& criterion, const QDate& today,
                             const TVolgaFormatSettings& format);

    static constexpr const char* kSelect = "SELECT * FROM calls WHERE ";
};
