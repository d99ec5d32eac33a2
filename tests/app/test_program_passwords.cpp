// The access password asked before the program's first window, and the administrator
// password asked before the configuration opens: the whole program started as it starts.
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "TFreshUserDirs.h"
#include "CoreTexts.h"
#include "SupervisionFixture.h"
#include "TPasswordCipher.h"
#include "TPelmApplication.h"
#include "TfmPasswords.h"
#include "TfmPelmUsb.h"

// The whole program: the access password at the first show.

class ProgramPasswordTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetSystemFormat(TVolgaFormatSettings::Iso());
        TMessages::Install(&messages);
        TStartupRegistration::Install(&startup);
        TLiveSettings::Instance() = TLiveSettings();
        TPelmGlobals::Instance().UsedSpaceKb = 0;
        // A previous run set the access password and did not want the instructions.
        TPasswordCipher c;
        QDir().mkpath(home.Root() + "/config/Pelmorant");
        TIniFile reg(home.Root() + "/config/Pelmorant/registry.ini");
        reg.WriteBool("General", "zilota", true);
        reg.WriteString("General", "adida", c.EncryptText("open sesame"));
        QDir().mkpath(home.Root() + "/data/Pelmorant");
        TIniFile(home.Root() + "/data/Pelmorant/Pelmorant.ini")
            .WriteBool("General", "demoInstructions", false);
    }
    void TearDown() override {
        TMessages::Install(nullptr);
        TStartupRegistration::Install(nullptr);
    }
    void Type(const QString& text) {
        WhenModal([text](QWidget* w) {
            auto* p = qobject_cast<TfmPassProtection*>(w);
            ASSERT_TRUE(p);
            QTest::keyClicks(p->edtPass, text);
            p->btnOk->click();
        });
    }
    TFreshUserDirs home;
    RecordingMessages messages;
    FakeStartupRegistration startup;
};

TEST_F(ProgramPasswordTest, WrongAccessPasswordAtFirstShowEndsTheProgram) {
    TPelmApplication program({});
    ASSERT_TRUE(program.Start());
    TfmPelmUsb* main = program.MainWindow();
    bool everShown = false;
    struct ShowSpy : QObject {
        bool* shown;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Show) *shown = true;
            return false;
        }
    } spy;
    spy.shown = &everShown;
    main->installEventFilter(&spy);
    Type("open Sesame");
    messages.shown.clear();  // what start-up said (no sound card here, for one)
    program.Run();
    EXPECT_EQ(messages.shown, QStringList{CoreTexts::kPasswordFailed});
    QTRY_VERIFY_WITH_TIMEOUT(main->Controller().CanExit, 2000);
    QTest::qWait(50);
    EXPECT_FALSE(everShown);  // no window was shown
    EXPECT_FALSE(main->Timer1()->isActive());
    // The program took its exit path: the log says it closed.
    TEventLog* log = program.Log();
    ASSERT_TRUE(log);
    EXPECT_TRUE(log->Lines().join("\n").contains(CoreTexts::kClosingProgram));
    main->removeEventFilter(&spy);
}

TEST_F(ProgramPasswordTest, RightAccessPasswordShowsTheWindowAndSettingsAskTheAdministrator) {
    {
        TIniFile reg(home.Root() + "/config/Pelmorant/registry.ini");
        reg.WriteBool("General", "delato", true);
        reg.WriteString("General", "feroto", TPasswordCipher().EncryptText("boss"));
    }
    TPelmApplication program({});
    ASSERT_TRUE(program.Start());
    TfmPelmUsb* main = program.MainWindow();
    Type("open sesame");
    messages.shown.clear();
    program.Run();
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_TRUE(main->isVisible());
    EXPECT_TRUE(main->Controller().Shown);

    // Settings: a wrong administrator password keeps the configuration closed.
    Type("bos");
    main->SettingsCommand();
    EXPECT_EQ(messages.shown, QStringList{CoreTexts::kPasswordFailed});
    EXPECT_FALSE(program.Config()->isVisible());
    // The right one opens it; Cancel closes it.
    bool opened = false;
    Type("boss");
    QTimer::singleShot(50, [&] {
        opened = program.Config()->isVisible();
        program.Config()->btnCancel->click();
    });
    main->SettingsCommand();
    EXPECT_TRUE(opened);
    main->ExitProgram();
}
