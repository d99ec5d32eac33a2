// The cipher of the stored passwords: DES in electronic-codebook mode under one 8-byte key,
// the text's bytes split into whole blocks plus a final block that carries the rest and its
// length in its last byte, the blocks encoded as one line of Base64.
#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <stdexcept>

// A cipher text that cannot be deciphered; what() is "Invalid Base64 Character" or
// "Invalid file format".
class ECipherError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TPasswordCipher {
public:
    TPasswordCipher();  // with the built-in key
    // The key: the first 8 bytes of the SHA-256 digest of the pass phrase, with DES parity.
    void GenerateKey(const QByteArray& passPhrase);
    // The key made from the program's built-in pass phrase.
    void GenerateBuiltInKey();
    const std::array<uint8_t, 8>& Key() const { return key_; }

    // Text as UTF-8 bytes, enciphered and encoded.
    QString EncryptText(const QString& text) const;
    // Throws ECipherError.
    QString DecryptText(const QString& cipherText) const;

    // The raw block layer (exposed for tests).
    QByteArray EncryptBytes(const QByteArray& plain) const;
    QByteArray DecryptBytes(const QByteArray& blocks) const;

private:
    std::array<uint8_t, 8> key_{};
};
