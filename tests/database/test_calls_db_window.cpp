// The calls database's window: the progress box while a large table's used space is summed,
// and the window's place kept in the settings.
#include <QProgressDialog>
#include <QSignalSpy>

#include "DatabaseFixture.h"
#include "DatabaseTexts.h"
#include "TIniFile.h"
#include "TfmCallsDbWindow.h"
#include "TfmPelmorantDB.h"

TEST_F(DatabaseFixture, UsedSpaceOfALargeTableReportsProgressAndTheBoxCloses) {
    TfmPelmorantDB db(globals, settings);
    ASSERT_TRUE(db.OpenDatabase());
    for (int i = 0; i < 1100; ++i) {
        db.tblCalls.Append();
        db.tblCalls.FieldByName("callID").SetAsString("id" + std::to_string(i));
        db.tblCalls.FieldByName("mediumLabel")
            .SetAsString(i % 10 == 0 ? "Backup 1" : DatabaseTexts::kMainStorageMedium);
        db.tblCalls.FieldByName("fileSize").SetAsInteger(2);
        db.tblCalls.Post();
    }
    db.tblCalls.SaveChanges();

    TfmCallsDbWindow window(db, globals.SettingsIni);
    QSignalSpy progress(&db, &TfmPelmorantDB::usedSpaceProgress);
    bool boxShown = false;
    QObject::connect(&db, &TfmPelmorantDB::usedSpaceProgress, &window, [&](int position, int) {
        if (position >= 0 && window.ProgressBox()) boxShown = true;
    });
    // Only the recordings on the main medium count.
    EXPECT_EQ(db.SumUsedSpace(), 990 * 2);
    ASSERT_EQ(progress.count(), 3);
    EXPECT_EQ(progress[0], (QVariantList{512, 1100}));
    EXPECT_EQ(progress[1], (QVariantList{1024, 1100}));
    EXPECT_EQ(progress[2], (QVariantList{-1, 1100}));
    EXPECT_TRUE(boxShown);
    EXPECT_EQ(window.ProgressBox(), nullptr);

    // A small table sums without a box.
    progress.clear();
    TfmPelmorantDB small(globals, settings);
    globals.AppDataDir = dir.path() + "/other";
    QDir().mkpath(globals.AppDataDir);
    ASSERT_TRUE(small.OpenDatabase());
    EXPECT_EQ(small.SumUsedSpace(), 0);
    EXPECT_EQ(progress.count(), 0);
}

TEST_F(DatabaseFixture, CallsDbWindowKeepsItsPlace) {
    TfmPelmorantDB db(globals, settings);
    {
        TfmCallsDbWindow window(db, globals.SettingsIni);
        EXPECT_EQ(window.windowTitle(), "Calls database");
        EXPECT_EQ(window.geometry(), QRect(200, 120, 400, 300));
        window.setGeometry(30, 40, 500, 350);
    }
    TIniFile ini(globals.SettingsIni.FileName());
    EXPECT_EQ(ini.ReadInteger("fmCallsdb", "Left", 0), 30);
    EXPECT_EQ(ini.ReadInteger("fmCallsdb", "Top", 0), 40);
    EXPECT_EQ(ini.ReadInteger("fmCallsdb", "Width", 0), 500);
    EXPECT_EQ(ini.ReadInteger("fmCallsdb", "Height", 0), 350);
    TfmCallsDbWindow again(db, globals.SettingsIni);
    EXPECT_EQ(again.geometry(), QRect(30, 40, 500, 350));
}
