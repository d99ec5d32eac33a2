#include "TPasswordCipher.h"

#include <nettle/base64.h>
#include <nettle/des.h>
#include <nettle/sha2.h>

#include "SupervisionTexts.h"

namespace {

// Eight lower-case letters; the stored cipher texts need only be readable by this program.
constexpr char kBuiltInPassPhrase[] = "vorkelan";

}  // namespace

void TPasswordCipher::GenerateKey(const QByteArray& passPhrase) {
    sha256_ctx sha;
    sha256_init(&sha);
    sha256_update(&sha, static_cast<size_t>(passPhrase.size()),
                  reinterpret_cast<const uint8_t*>(passPhrase.constData()));
    uint8_t digest[SHA256_DIGEST_SIZE];
    sha256_digest(&sha, sizeof digest, digest);
    for (size_t i = 0; i < key_.size(); ++i) key_[i] = digest[i];
    des_fix_parity(key_.size(), key_.data(), key_.data());
}

TPasswordCipher::TPasswordCipher() { GenerateBuiltInKey(); }

void TPasswordCipher::GenerateBuiltInKey() { GenerateKey(QByteArray(kBuiltInPassPhrase)); }

QByteArray TPasswordCipher::EncryptBytes(const QByteArray& plain) const {
    const qsizetype whole = plain.size() / 8 * 8;
    const int rest = static_cast<int>(plain.size() - whole);
    QByteArray blocks = plain.left(whole);
    QByteArray last(8, '\0');
    for (int i = 0; i < rest; ++i) last[i] = plain[whole + i];
    last[7] = static_cast<char>(rest);
    blocks += last;
    des_ctx ctx;
    des_set_key(&ctx, key_.data());
    auto* data = reinterpret_cast<uint8_t*>(blocks.data());
    des_encrypt(&ctx, static_cast<size_t>(blocks.size()), data, data);
    return blocks;
}

QByteArray TPasswordCipher::DecryptBytes(const QByteArray& blocksIn) const {
    // The last block always exists and carries the length of the rest.
    if (blocksIn.isEmpty() || blocksIn.size() % 8 != 0)
        throw ECipherError(SupervisionTexts::kInvalidFileFormat);
    QByteArray blocks = blocksIn;
    des_ctx ctx;
    des_set_key(&ctx, key_.data());
    auto* data = reinterpret_cast<uint8_t*>(blocks.data());
    des_decrypt(&ctx, static_cast<size_t>(blocks.size()), data, data);
    const int rest = static_cast<uint8_t>(blocks.back());
    if (rest > 7) throw ECipherError(SupervisionTexts::kInvalidFileFormat);
    return blocks.left(blocks.size() - 8 + rest);
}

QString TPasswordCipher::EncryptText(const QString& text) const {
    QByteArray blocks = EncryptBytes(text.toUtf8());
    QByteArray out(BASE64_ENCODE_RAW_LENGTH(blocks.size()), '\0');
    base64_encode_raw(reinterpret_cast<char*>(out.data()), static_cast<size_t>(blocks.size()),
                      reinterpret_cast<const uint8_t*>(blocks.constData()));
    return QString::fromLatin1(out);
}

QString TPasswordCipher::DecryptText(const QString& cipherText) const {
    // Only the alphabet and the padding may appear; anything else (spaces and line breaks
    // included) is refused before decoding.
    QByteArray in;
    in.reserve(cipherText.size());
    for (QChar c : cipherText) {
        const char16_t u = c.unicode();
        const bool ok = (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') ||
                        (u >= '0' && u <= '9') || u == '+' || u == '/' || u == '=';
        if (!ok) throw ECipherError(SupervisionTexts::kInvalidBase64);
        in += static_cast<char>(u);
    }
    base64_decode_ctx ctx;
    base64_decode_init(&ctx);
    QByteArray blocks(BASE64_DECODE_LENGTH(in.size()) + 1, '\0');
    size_t length = static_cast<size_t>(blocks.size());
    if (!base64_decode_update(&ctx, &length, reinterpret_cast<uint8_t*>(blocks.data()),
                              static_cast<size_t>(in.size()), in.constData()))
        throw ECipherError(SupervisionTexts::kInvalidBase64);
    if (!base64_decode_final(&ctx)) throw ECipherError(SupervisionTexts::kInvalidFileFormat);
    blocks.resize(static_cast<qsizetype>(length));
    return QString::fromUtf8(DecryptBytes(blocks));
}
