#include "TSearchStatement.h"

namespace {

using Field = TSearchStatement::Field;

const QStringList kTextOperators = {"Contains", "Doesn't contain", "is",
                                    "is not",   "Begins with",     "Ends with"};
const QStringList kDateOperators = {"is", "is not", "Is before", "Is after"};

// The value inside a double-quoted literal: a quote is doubled, which the engine reads as one.
QString Quoted(const QString& value) {
    QString out = value;
    out.replace('"', "\"\"");
    return out;
}

QString DateText(const QDate& date, const TVolgaFormatSettings& format) {
    TDateTime value = 0;
    if (!date.isValid() ||
        !TVolgaFormatSettings::EncodeDate(date.year(), date.month(), date.day(), value))
        return QString();
    return QString::fromStdString(format.FormatDate(value));
}

QString TimeText(const QTime& time, const TVolgaFormatSettings& format) {
    TDateTime value = 0;
    if (time.isValid())
        TVolgaFormatSettings::EncodeTime(time.hour(), time.minute(), time.second(), 0, value);
    return QString::fromStdString(format.FormatTime(value));
}

// Memo, Caller ID and DTMF digits.
QString TextCondition(const QString& column, int op, const QString& value) {
    const QString v = Quoted(value);
    switch (op) {
        case 0:
            return column + " LIKE \"%" + v + "%\"";
        case 1:
            return column + " NOT LIKE \"%" + v + "%\"";
        case 2:
            return column + " LIKE \"" + v + "\"";
        case 3:
            return column + " <> \"" + v + "\"";
        case 4:
            return column + " LIKE \"" + v + "%\"";
        case 5:
            return column + " LIKE \"%" + v + "\"";
        default:
            return QString();
    }
}

const char* const kCompareOps[] = {" = ", " <> ", " <= ", " >= "};  // is, is not, before, after

}  // namespace

QStringList TSearchStatement::FieldNames() {
    return {"Memo",        "Caller ID", "DTMF digits", "Date",          "Time",
            "Age in days", "Channel",   "Folder",      "Call direction"};
}

QStringList TSearchStatement::Operators(Field field) {
    switch (field) {
        case Field::Memo:
            return kTextOperators.mid(0, 4);
        case Field::CallerId:
        case Field::Dtmf:
            return kTextOperators;
        case Field::Date:
        case Field::Time:
            return kDateOperators;
        case Field::AgeInDays:
            return {"is", "Is less than", "Is greater than"};
        case Field::Channel:
            return {"is", "is not", "Is less than", "Is greater than"};
        case Field::Folder:
            return {};
        case Field::CallDirection:
            return {"is", "is not"};
    }
    return {};
}

QStringList TSearchStatement::Directions() {
    return {"Inbound", "Outbound", "Undefined"};
}

QString TSearchStatement::Condition(const Criterion& c, const QDate& today,
                                    const TVolgaFormatSettings& format) {
    const int op = c.Operator;
    auto within = [op](int count) { return op >= 0 && op < count; };
    switch (c.CriterionField) {
        case Field::Memo:
            return within(4) ? TextCondition("calls.memo", op, c.Text) : QString();
        case Field::CallerId:
            return TextCondition("calls.callerID", op, c.Text);
        case Field::Dtmf:
            return TextCondition("calls.DTMF", op, c.Text);
        case Field::Date:
            if (!within(4)) return QString();
            return QString("calls.date") + kCompareOps[op] + "\"" + DateText(c.Date, format) + "\"";
        case Field::Time:
            if (!within(4)) return QString();
            return QString("calls.StartTime") + kCompareOps[op] + "\"" + TimeText(c.Time, format) +
                   "\"";
        case Field::AgeInDays: {
            // The day that many days before today; older calls are dated before it.
            static const char* const ops[] = {" = ", " > ", " < "};  // is, less, greater
            if (!within(3)) return QString();
            return QString("calls.date") + ops[op] + "\"" +
                   DateText(today.addDays(-c.Number), format) + "\"";
        }
        case Field::Channel: {
            static const char* const ops[] = {" = ", " <> ", " < ", " > "};
            if (!within(4)) return QString();
            return QString("calls.channel") + ops[op] + QString::number(c.Number);
        }
        case Field::Folder:
            return "calls.FolderID= \"" + Quoted(c.FolderId) + "\"";
        case Field::CallDirection: {
            static const char* const ops[] = {" = ", " <> "};
            if (!within(2)) return QString();
            return QString("calls.inOut") + ops[op] + QString::number(c.Number);
        }
    }
    return QString();
}

QString TSearchStatement::Build(const std::vector<Criterion>& criteria, const QString& conjunction,
                                const QDate& today, const TVolgaFormatSettings& format) {
    QString sql = kSelect;
    for (size_t i = 0; i < criteria.size(); ++i) {
        sql += Condition(criteria[i], today, format);
        if (i + 1 < criteria.size()) sql += " " + conjunction + "\n";
    }
    return sql;
}
