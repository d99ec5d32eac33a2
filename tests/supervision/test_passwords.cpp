// The password cipher, the password windows and loading the stored passwords. (The access
// password asked before the program's first window is tested with the program, in tests/app.)
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "CoreTexts.h"
#include "SupervisionFixture.h"
#include "SupervisionTexts.h"
#include "TPasswordCipher.h"
#include "TfmPasswords.h"

namespace T = SupervisionTexts;

namespace {

QString ErrorOf(const TPasswordCipher& c, const QString& text) {
    try {
        c.DecryptText(text);
    } catch (const ECipherError& e) {
        return QString::fromUtf8(e.what());
    }
    return QString();
}

}  // namespace

TEST(PasswordCipher, BlockRuleSizes) {
    TPasswordCipher c;
    EXPECT_EQ(c.EncryptText("").size(), 12);  // one block of 8 bytes
    EXPECT_EQ(c.EncryptText("1234567").size(), 12);
    EXPECT_EQ(c.EncryptText("12345678").size(), 24);  // a second block with the count 0
    EXPECT_EQ(c.EncryptText(QString(16, 'x')).size(), 32);
    EXPECT_EQ(c.EncryptBytes("12345678").size(), 16);
    // One line of the Base64 alphabet.
    const QString text = c.EncryptText("a rather long password of many blocks");
    for (QChar ch : text) EXPECT_TRUE(ch.isLetterOrNumber() || ch == '+' || ch == '/' || ch == '=');
    // Electronic codebook: equal blocks give equal cipher blocks.
    const QByteArray b = c.EncryptBytes("abcdefghabcdefgh");
    EXPECT_EQ(b.mid(0, 8), b.mid(8, 8));
}

TEST(PasswordCipher, RoundTripForLengths0To40) {
    TPasswordCipher c;
    const QString ascii = "Secret-42 with spaces & symbols !?%$#@~";
    const QString wide = QString::fromUtf8("ÄöüßÉñ€日本語パスワード✓");
    for (int n = 0; n <= 40; ++n) {
        QString a, w;
        for (int i = 0; i < n; ++i) {
            a += ascii[i % ascii.size()];
            w += wide[i % wide.size()];
        }
        EXPECT_EQ(c.DecryptText(c.EncryptText(a)), a) << n;
        EXPECT_EQ(c.DecryptText(c.EncryptText(w)), w) << n;
    }
}

TEST(PasswordCipher, KeyIsFixedForThisInstallation) {
    TPasswordCipher a, b;
    EXPECT_EQ(a.EncryptText("pass"), b.EncryptText("pass"));
    // Stored texts of earlier runs stay readable: the built-in key does not change.
    EXPECT_EQ(a.DecryptText(a.EncryptText("")), "");
    TPasswordCipher other;
    other.GenerateKey("otherkey");
    EXPECT_NE(other.EncryptText("pass"), a.EncryptText("pass"));
    EXPECT_NE(other.Key(), a.Key());
}

TEST(PasswordCipher, DecipherErrors) {
    TPasswordCipher c;
    const QString good = c.EncryptText("abc");
    EXPECT_EQ(ErrorOf(c, good), QString());
    // Characters outside the alphabet.
    EXPECT_EQ(ErrorOf(c, good.left(4) + " " + good.mid(4)), T::kInvalidBase64);
    EXPECT_EQ(ErrorOf(c, good + "\n"), T::kInvalidBase64);
    EXPECT_EQ(ErrorOf(c, "abc{defghij="), T::kInvalidBase64);
    EXPECT_EQ(ErrorOf(c, "abc-defghij="), T::kInvalidBase64);
    EXPECT_EQ(ErrorOf(c, QString::fromUtf8("ä") + good), T::kInvalidBase64);
    // Not a whole number of blocks, or nothing at all.
    EXPECT_EQ(ErrorOf(c, "QUJD"), T::kInvalidFileFormat);  // 3 bytes
    EXPECT_EQ(ErrorOf(c, good.left(8)), T::kInvalidFileFormat);
    EXPECT_EQ(ErrorOf(c, ""), T::kInvalidFileFormat);
    EXPECT_THROW(c.DecryptBytes(QByteArray(12, 'x')), ECipherError);
}

// ---------------------------------------------------------------------------------------------
// Stored passwords

class StoredPasswordsTest : public SupervisionFixture {};

TEST_F(StoredPasswordsTest, StoredPasswordsAreReadBack) {
    TPasswordCipher c;
    {
        TIniFile reg(RegistryPath());
        reg.WriteBool("General", "delato", true);
        reg.WriteString("General", "feroto", c.EncryptText("Admin1"));
        reg.WriteBool("General", "zilota", false);
        reg.WriteString("General", "adida", c.EncryptText("ignored"));
    }
    OpenStores();
    TfmConfig& dlg = CreateConfig();
    EXPECT_EQ(dlg.Store().AdminPassword, "Admin1");
    EXPECT_TRUE(settings.cbxAdminPass);
    EXPECT_TRUE(dlg.btnChangeAdm->isEnabled());
    EXPECT_TRUE(dlg.Store().AccessPassword.isEmpty());  // off: not read
    EXPECT_FALSE(dlg.btnChangeAcc->isEnabled());
}

TEST_F(StoredPasswordsTest, UndecipherableCipherTurnsThePasswordOffAndIsLogged) {
    {
        TIniFile reg(RegistryPath());
        reg.WriteBool("General", "delato", true);
        reg.WriteString("General", "feroto", "not base64!");
        reg.WriteBool("General", "zilota", true);
        reg.WriteString("General", "adida", "QUJD");
    }
    OpenStores();
    TfmConfig& dlg = CreateConfig();
    EXPECT_FALSE(settings.cbxAdminPass);
    EXPECT_FALSE(settings.cbxAccessPass);
    EXPECT_TRUE(dlg.Store().AdminPassword.isEmpty());
    EXPECT_TRUE(Logged(QString(T::kAdminPasswordUnreadable) + T::kInvalidBase64));
    EXPECT_TRUE(Logged(QString(T::kAccessPasswordUnreadable) + T::kInvalidFileFormat));
    // The flags are off in the store too, so that no prompt asks for a password nobody knows.
    TIniFile reg(RegistryPath());
    EXPECT_FALSE(reg.ReadBool("General", "zilota", true));
    EXPECT_FALSE(reg.ReadBool("General", "delato", true));
    EXPECT_EQ(dlg.Store().crypt1.DecryptText(reg.ReadString("General", "adida", "")), "");
}

TEST_F(StoredPasswordsTest, SwitchingOnAsksForTheNewPasswordCancelDropsIt) {
    TfmConfig& dlg = CreateConfig();
    int asked = 0;
    dlg.AskNewPassword = [&](int kind) {
        ++asked;
        EXPECT_EQ(kind, 1);
        dlg.Store().AdminPassword = "typed twice";
    };
    Show();
    dlg.cbxAdminPass->click();
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(dlg.cbxAdminPass->isChecked());
    EXPECT_TRUE(dlg.btnChangeAdm->isEnabled());
    EXPECT_TRUE(settings.cbxAdminPass);
    dlg.btnCancel->click();
    EXPECT_TRUE(dlg.Store().AdminPassword.isEmpty());
    Show();
    EXPECT_FALSE(dlg.cbxAdminPass->isChecked());

    // Confirmed, the password is stored enciphered and in force.
    dlg.cbxAdminPass->click();
    dlg.btnOk->click();
    TIniFile reg(RegistryPath());
    EXPECT_TRUE(reg.ReadBool("General", "delato", false));
    EXPECT_EQ(dlg.Store().crypt1.DecryptText(reg.ReadString("General", "feroto", "")),
              "typed twice");

    // Switching off asks nothing and stores the empty text.
    Show();
    dlg.cbxAdminPass->click();
    EXPECT_FALSE(dlg.btnChangeAdm->isEnabled());
    dlg.btnOk->click();
    EXPECT_EQ(asked, 2);
    TIniFile after(RegistryPath());
    EXPECT_FALSE(after.ReadBool("General", "delato", true));
    EXPECT_EQ(after.ReadString("General", "feroto", ""), dlg.Store().crypt1.EncryptText(""));
    // "Change" is only offered while the box is checked; the access box asks for kind 2.
    int kind = 0;
    dlg.AskNewPassword = [&](int k) { kind = k; };
    Show();
    dlg.cbxAccessPass->click();
    EXPECT_EQ(kind, 2);
    dlg.btnChangeAcc->click();
    EXPECT_EQ(kind, 2);
}

TEST_F(StoredPasswordsTest, NewPasswordWindowCannotBeLeftWithoutAPasswordTypedTwice) {
    TfmConfig& dlg = CreateConfig();
    TfmNewPassword window(dlg.Store(), &dlg);
    EXPECT_EQ(window.windowTitle(), T::kPasswordProtection);
    EXPECT_FALSE(window.windowFlags() & Qt::WindowCloseButtonHint);
    window.Prepare(1);
    window.show();
    // Two different texts: the message, both fields emptied, still open.
    window.edtPass->setText("abc");
    window.edtNewpass->setText("abd");
    window.btnOk->click();
    EXPECT_EQ(messages.shown, QStringList{T::kConfirmationFailed});
    EXPECT_TRUE(window.edtPass->text().isEmpty());
    EXPECT_TRUE(window.edtNewpass->text().isEmpty());
    EXPECT_TRUE(window.isVisible());
    // Both empty: no message, still open.
    window.btnOk->click();
    EXPECT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(window.isVisible());
    // Neither Escape nor a close request leaves it.
    QTest::keyClick(&window, Qt::Key_Escape);
    window.close();
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(dlg.Store().AdminPassword.isEmpty());
    window.hide();

    // Run modally as the Security page does: only the matching pair closes it.
    WhenModal([](QWidget* w) {
        auto* np = qobject_cast<TfmNewPassword*>(w);
        ASSERT_TRUE(np);
        QTest::keyClicks(np->edtPass, "Zugang");
        QTest::keyClicks(np->edtNewpass, "Zugang");
        np->btnOk->click();
    });
    window.AskNewPassword(2);
    EXPECT_EQ(dlg.Store().AccessPassword, "Zugang");
    EXPECT_TRUE(dlg.Store().AdminPassword.isEmpty());
    EXPECT_FALSE(window.isVisible());
}

TEST_F(StoredPasswordsTest, PasswordPromptIsOneExactAttempt) {
    TfmPassProtection prompt;
    EXPECT_TRUE(prompt.btnOk->isDefault());
    auto answer = [&](const QString& typed) {
        WhenModal([typed](QWidget* w) {
            auto* p = qobject_cast<TfmPassProtection*>(w);
            ASSERT_TRUE(p);
            EXPECT_TRUE(p->edtPass->text().isEmpty());
            QTest::keyClick(p, Qt::Key_Escape);  // no way out but Ok
            QTest::keyClicks(p->edtPass, typed);
            QTest::keyClick(p->edtPass, Qt::Key_Return);  // Enter presses Ok
        });
    };
    answer("Secret");
    EXPECT_TRUE(prompt.CheckPassword("Secret"));
    answer("secret");
    EXPECT_FALSE(prompt.CheckPassword("Secret"));  // letter case counts
    answer("");
    EXPECT_TRUE(prompt.CheckPassword(""));
}

// ---------------------------------------------------------------------------------------------
