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
