// The weekly schedule: InSchedule on the process clock, and the Schedule page with its rows,
// enabled states, per-channel working copies, OK and Cancel.
#include <QCheckBox>
#include <QGridLayout>
#include <QListWidget>
#include <QPushButton>
#include <QTimeEdit>

#include "SupervisionFixture.h"

namespace {

class ScheduleTest : public SupervisionFixture {
protected:
    // Wednesday 9 December 2026 is a Wednesday; the Monday before is the 7th, Sunday the 6th.
    void At(const QDate& day, const QTime& time) { clock.now = QDateTime(day, time); }
    static QDate Monday() { return QDate(2026, 12, 7); }
    static QDate Sunday() { return QDate(2026, 12, 6); }
    static TDateTime TimeOf(int h, int m) { return (h * 60 + m) / 1440.0; }
};

}  // namespace

TEST_F(ScheduleTest, InScheduleBoundariesOnTheProcessClock) {
    CreateConfig();
    TChannelTable& t = *channels;
    // A new channel may record at any time of any day.
    for (const QDate& d : {Monday(), Sunday()})
        for (const QTime& tm : {QTime(0, 0), QTime(23, 59, 59, 999)}) {
            At(d, tm);
            EXPECT_TRUE(t.InSchedule(0));
        }
    TScheduleDay& monday = t[0].Schedule[2];
    monday = {true, TimeOf(9, 0), TimeOf(17, 0), false};
    t[0].Schedule[1].En = false;  // Sunday off
    At(Monday(), QTime(8, 59, 59));
    EXPECT_FALSE(t.InSchedule(0));
    At(Monday(), QTime(8, 59, 59, 999));
    EXPECT_FALSE(t.InSchedule(0));
    At(Monday(), QTime(9, 0, 0, 0));
    EXPECT_TRUE(t.InSchedule(0));
    At(Monday(), QTime(17, 0, 0, 0));
    EXPECT_TRUE(t.InSchedule(0));
    At(Monday(), QTime(17, 0, 0, 1));
    EXPECT_FALSE(t.InSchedule(0));
    for (const QTime& tm : {QTime(0, 0), QTime(12, 0), QTime(23, 59)}) {
        At(Sunday(), tm);
        EXPECT_FALSE(t.InSchedule(0));
        EXPECT_TRUE(t.InSchedule(1));  // the other channel keeps its own schedule
    }
    // A window across midnight never matches on its day.
    monday = {true, TimeOf(22, 0), TimeOf(6, 0), false};
    for (const QTime& tm : {QTime(23, 0), QTime(3, 0), QTime(22, 0), QTime(6, 0)}) {
        At(Monday(), tm);
        EXPECT_FALSE(t.InSchedule(0)) << tm.toString().toStdString();
    }
    // "24 hours" wins over the times; a disabled day over "24 hours".
    monday.FullTime = true;
    EXPECT_TRUE(t.InSchedule(0));
    monday.En = false;
    EXPECT_FALSE(t.InSchedule(0));
}

TEST_F(ScheduleTest, RowsInOrderWithTheirCaptions) {
    TfmConfig& dlg = CreateConfig();
    auto* grid = dlg.tsOperation->findChild<QGridLayout*>();
    ASSERT_TRUE(grid);
    const QStringList captions = {"Monday", "Tuesday", "Wensday", "Thursday",
                                  "Friday", "Saturday", "Sunday"};
    const int days[] = {2, 3, 4, 5, 6, 7, 1};
    for (int row = 0; row < 7; ++row) {
        auto* box = qobject_cast<QCheckBox*>(grid->itemAtPosition(row + 1, 0)->widget());
        ASSERT_TRUE(box);
        EXPECT_EQ(box->text(), captions[row]);
        EXPECT_EQ(box, dlg.cbxDay[days[row]]);
        EXPECT_EQ(box->objectName(), "cbx" + QString::number(days[row]));
        EXPECT_EQ(grid->itemAtPosition(row + 1, 1)->widget(), dlg.Start[days[row]]);
    }
    EXPECT_EQ(dlg.lbxChannelsSched->count(), 2);
    EXPECT_EQ(dlg.lbxChannelsSched->item(1)->text(), "channel 1");
}

TEST_F(ScheduleTest, EnabledStatesFollowTheDayAndTheWholeDay) {
    TfmConfig& dlg = CreateConfig();
    Show();
    // Defaults: every day on, "24 hours": the pickers are off.
    EXPECT_TRUE(dlg.cbxFull[4]->isEnabled());
    EXPECT_FALSE(dlg.Start[4]->isEnabled());
    dlg.cbxFull[4]->click();
    EXPECT_TRUE(dlg.Start[4]->isEnabled());
    EXPECT_TRUE(dlg.Stop[4]->isEnabled());
    dlg.cbxDay[4]->click();  // day off: all three off
    EXPECT_FALSE(dlg.Start[4]->isEnabled());
    EXPECT_FALSE(dlg.Stop[4]->isEnabled());
    EXPECT_FALSE(dlg.cbxFull[4]->isEnabled());
    dlg.cbxDay[4]->click();  // on again: the pickers follow "24 hours" (now off)
    EXPECT_TRUE(dlg.Start[4]->isEnabled());
    EXPECT_TRUE(dlg.cbxFull[4]->isEnabled());
    dlg.cbxFull[4]->click();
    dlg.cbxDay[4]->click();
    dlg.cbxDay[4]->click();
    EXPECT_FALSE(dlg.Start[4]->isEnabled());
}

TEST_F(ScheduleTest, EachChannelHasItsWorkingCopyOkStoresCancelDrops) {
    TfmConfig& dlg = CreateConfig();
    Show();
    // Channel 0: Monday 08:00-12:30 without "24 hours".
    dlg.cbxFull[2]->click();
    dlg.Start[2]->setTime(QTime(8, 0));
    dlg.Stop[2]->setTime(QTime(12, 30));
    dlg.lbxChannelsSched->setCurrentRow(1);
    EXPECT_TRUE(dlg.cbxFull[2]->isChecked());  // channel 1 untouched
    dlg.cbxDay[1]->click();                     // channel 1: Sunday off
    dlg.lbxChannelsSched->setCurrentRow(0);
    EXPECT_FALSE(dlg.cbxFull[2]->isChecked());
    EXPECT_EQ(dlg.Start[2]->time(), QTime(8, 0));
    EXPECT_TRUE(dlg.cbxDay[1]->isChecked());
    // Nothing is in force before OK.
    EXPECT_TRUE((*channels)[0].Schedule[2].FullTime);

    // Cancel drops the edits of both channels.
    dlg.btnCancel->click();
    Show();
    EXPECT_TRUE((*channels)[0].ScheduleEdit[2].FullTime);
    EXPECT_TRUE((*channels)[1].ScheduleEdit[1].En);
    EXPECT_TRUE(dlg.cbxFull[2]->isChecked());

    // OK puts them in force and into the table.
    dlg.cbxFull[2]->click();
    dlg.Start[2]->setTime(QTime(8, 0));
    dlg.Stop[2]->setTime(QTime(12, 30));
    dlg.btnOk->click();
    At(Monday(), QTime(12, 30));
    EXPECT_TRUE(channels->InSchedule(0));
    At(Monday(), QTime(12, 30, 1));
    EXPECT_FALSE(channels->InSchedule(0));
    ASSERT_TRUE(table->Locate("Channel", TVolgaValue(0)));
    EXPECT_FALSE(table->FieldByName("D2FullTime").AsBoolean());
    EXPECT_EQ(FromDateTime(table->FieldByName("D2Start").AsDateTime()).time(), QTime(8, 0));

    // And after a restart.
    TfmConfig& again = Restart();
    EXPECT_FALSE((*channels)[0].Schedule[2].FullTime);
    EXPECT_EQ(FromDateTime((*channels)[0].Schedule[2].Stop).time(), QTime(12, 30));
    again.show();
    EXPECT_EQ(again.Stop[2]->time(), QTime(12, 30));
    EXPECT_TRUE(again.Stop[2]->isEnabled());
}
