// Passwords that users have already stored must stay readable: these cipher texts were made
// by the program's cipher with its built-in key and are fixed here, so any change to the key,
// the block rule or the encoding fails this test instead of locking users out. The first
// block of "boss" was also checked against another DES-ECB implementation (it deciphers to
// "boss", three zero bytes and the length 4).
#include <gtest/gtest.h>

#include "TPasswordCipher.h"

namespace {

struct KnownAnswer {
    const char* plain;
    const char* cipher;
};

const KnownAnswer kStored[] = {
    {"", "RGb/P/uD7GQ="},
    {"boss", "0A7ZG7LSToI="},
    {"secret12", "0Od5tBCbpJZEZv8/+4PsZA=="},
    {"P\xC3\xA4sswort-2026!", "38Zp06Xcm/KgWI78D6u4Gw=="},
    {"a password of more than one block",
     "Yb4VUNQq+SeV0ay3MERcjCLchU17HM6bhGrKyjFpvSoWD1mZDQ5CcQ=="},
};

}  // namespace

TEST(PasswordCipherKnownAnswers, BuiltInKeyIsUnchanged) {
    TPasswordCipher c;
    const std::array<uint8_t, 8> key{0x2f, 0xe6, 0x51, 0x16, 0xf2, 0xd3, 0xf7, 0xd6};
    EXPECT_EQ(c.Key(), key);
}

TEST(PasswordCipherKnownAnswers, StoredCipherTextsDecipherAndAreMadeAgain) {
    TPasswordCipher c;
    for (const KnownAnswer& k : kStored) {
        SCOPED_TRACE(k.plain);
        const QString plain = QString::fromUtf8(k.plain);
        EXPECT_EQ(c.DecryptText(QString::fromLatin1(k.cipher)), plain);
        EXPECT_EQ(c.EncryptText(plain), QString::fromLatin1(k.cipher));
    }
}
