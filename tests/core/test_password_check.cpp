// The one password check of the guarded commands: which flag switches each password on, when
// the user is asked, and what a wrong or a right password means.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <vector>

#include "TIniFile.h"
#include "TPasswordCheck.h"

using Kind = TPasswordCheck::Kind;

TEST(PasswordCheck, EachPasswordFollowsItsOwnStoredFlag) {
    QTemporaryDir dir;
    TIniFile registry(dir.path() + "/registry.ini");
    TPasswordCheck check(registry);
    std::vector<Kind> asked;
    bool right = false;
    check.SetPrompt([&](Kind kind) {
        asked.push_back(kind);
        return right;
    });

    // Both off: nothing is asked, every command goes on.
    EXPECT_TRUE(check.Check(Kind::Access));
    EXPECT_TRUE(check.Check(Kind::Administrator));
    EXPECT_TRUE(asked.empty());

    // The access password alone ("zilota"): only the access commands ask.
    registry.WriteBool("General", "zilota", true);
    EXPECT_TRUE(check.SwitchedOn(Kind::Access));
    EXPECT_FALSE(check.SwitchedOn(Kind::Administrator));
    EXPECT_FALSE(check.Check(Kind::Access));
    EXPECT_TRUE(check.Check(Kind::Administrator));
    EXPECT_EQ(asked, std::vector<Kind>{Kind::Access});

    // The administrator's ("delato") too; a right password lets both through.
    registry.WriteBool("General", "delato", true);
    EXPECT_FALSE(check.Check(Kind::Administrator));
    right = true;
    EXPECT_TRUE(check.Check(Kind::Administrator));
    EXPECT_TRUE(check.Check(Kind::Access));
    EXPECT_EQ(asked.size(), 4u);

    // The flags are read at every check: switching a password off takes effect at once.
    registry.WriteBool("General", "zilota", false);
    right = false;
    EXPECT_TRUE(check.Check(Kind::Access));
    EXPECT_EQ(asked.size(), 4u);
}

TEST(PasswordCheck, WithoutAPromptNothingCanBeAskedAndCommandsGoOn) {
    QTemporaryDir dir;
    TIniFile registry(dir.path() + "/registry.ini");
    registry.WriteBool("General", "zilota", true);
    registry.WriteBool("General", "delato", true);
    TPasswordCheck check(registry);
    EXPECT_TRUE(check.Check(Kind::Access));
    EXPECT_TRUE(check.Check(Kind::Administrator));
}
