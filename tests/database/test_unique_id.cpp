// Identifiers of calls and folders.
#include <gtest/gtest.h>

#include <QSet>

#include "TUniqueId.h"

namespace {

long long Decode(const QString& s) {
    const QString digits = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    long long v = 0;
    for (QChar c : s) v = v * 62 + digits.indexOf(c);
    return v;
}

}  // namespace

TEST(UniqueId, FieldsAndCounter) {
    ResetUniqueIdCounter();
    QDateTime t(QDate(2026, 12, 9), QTime(10, 11, 12, 345));
    QString id = GenerateUniqueIdAt(t);
    ASSERT_EQ(id.size(), 8);
    long long hours = QDate(2000, 11, 1).daysTo(QDate(2026, 12, 9)) * 24 + 10;
    EXPECT_EQ(Decode(id.left(3)), hours);
    EXPECT_EQ(Decode(id.mid(3, 2)), 11 * 60 + 12);
    // The counter starts at H*60+M.
    EXPECT_EQ(Decode(id.mid(5, 3)), (34 * 3844) / 2 + 10 * 60 + 11);
    QString next = GenerateUniqueIdAt(t);
    EXPECT_NE(next, id);  // same hundredth, the counter moved on
    EXPECT_EQ(Decode(next.mid(5, 3)), (34 * 3844) / 2 + 10 * 60 + 12);

    // More than 62^3 hours after the start date: subtracted once.
    QDateTime later(QDate(2000, 11, 1).addDays(238328 / 24 + 5), QTime(0, 0));
    EXPECT_EQ(Decode(GenerateUniqueIdAt(later).left(3)), (238328 / 24 + 5) * 24 - 238328);
}

TEST(UniqueId, ManyInOneMomentAreDistinct) {
    ResetUniqueIdCounter();
    QDateTime t(QDate(2026, 12, 9), QTime(23, 59, 59, 999));
    QSet<QString> ids;
    for (int i = 0; i < 3844; ++i) ids.insert(GenerateUniqueIdAt(t));
    EXPECT_EQ(ids.size(), 3844);
    for (const QString& id : ids) {
        for (QChar c : id) EXPECT_TRUE(c.isLetterOrNumber());
    }
}

// Values worked out by hand from the identifier's rule (days since 1 November 2000 times 24
// plus the hour; minute*60+second; hundredths*3844/2 plus the counter, which starts at
// hour*60+minute), written in base 62 with "0-9A-Za-z".
TEST(UniqueId, KnownValues) {
    ResetUniqueIdCounter();
    // 9534 days and 10 hours: 228826 = 59*3844 + 32*62 + 20 -> "xWk"; 672 -> "Aq";
    // 34*3844/2 + 611 = 65959 -> "H9r", then the counter's next value -> "H9s".
    const QDateTime t(QDate(2026, 12, 9), QTime(10, 11, 12, 345));
    EXPECT_EQ(GenerateUniqueIdAt(t), "xWkAqH9r");
    EXPECT_EQ(GenerateUniqueIdAt(t), "xWkAqH9s");

    // The first moment of the count: every field is zero.
    ResetUniqueIdCounter();
    EXPECT_EQ(GenerateUniqueIdAt(QDateTime(QDate(2000, 11, 1), QTime(0, 0))), "00000000");

    // Past 62^3 hours (from 9 January 2028) the hour field has 62^3 taken off once:
    // 255684 - 238328 = 17356 -> "4Vw"; 1845 -> "Tl"; 99*3844/2 + 750 = 191028 -> "nh6".
    ResetUniqueIdCounter();
    EXPECT_EQ(GenerateUniqueIdAt(QDateTime(QDate(2030, 1, 1), QTime(12, 30, 45, 990))),
              "4VwTlnh6");
}
