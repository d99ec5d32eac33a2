#include "TSapphire.h"

#include <utility>

TSapphire::TSapphire(std::string_view key) {
    if (key.empty()) {
        for (int i = 0; i < 256; ++i) cards_[i] = static_cast<uint8_t>(255 - i);
        rotor_ = 1;
        ratchet_ = 3;
        avalanche_ = 5;
        lastPlain_ = 7;
        lastCipher_ = 11;
        return;
    }
    for (int i = 0; i < 256; ++i) cards_[i] = static_cast<uint8_t>(i);
    size_t keypos = 0;
    uint8_t rsum = 0;
    for (int i = 255; i >= 1; --i) {
        uint8_t j = KeyRand(static_cast<unsigned>(i), key, keypos, rsum);
        std::swap(cards_[i], cards_[j]);
    }
    rotor_ = cards_[1];
    ratchet_ = cards_[3];
    avalanche_ = cards_[5];
    lastPlain_ = cards_[7];
    lastCipher_ = cards_[rsum];
}

uint8_t TSapphire::KeyRand(unsigned limit, std::string_view key, size_t& keypos, uint8_t& rsum) {
    unsigned mask = 1;
    while (mask < limit) mask = 2 * mask + 1;
    unsigned tries = 0;
    unsigned u;
    do {
        rsum = static_cast<uint8_t>(cards_[rsum] + static_cast<uint8_t>(key[keypos]));
        ++keypos;
        if (keypos >= key.size()) {
            keypos = 0;
            rsum = static_cast<uint8_t>(rsum + key.size());
        }
        u = mask & rsum;
        if (++tries > 11) u %= limit;
    } while (u > limit);
    return static_cast<uint8_t>(u);
}

uint8_t TSapphire::Step() {
    ratchet_ = static_cast<uint8_t>(ratchet_ + cards_[rotor_]);
    ++rotor_;
    uint8_t t = cards_[lastCipher_];
    cards_[lastCipher_] = cards_[ratchet_];
    cards_[ratchet_] = cards_[lastPlain_];
    cards_[lastPlain_] = cards_[rotor_];
    cards_[rotor_] = t;
    avalanche_ = static_cast<uint8_t>(avalanche_ + cards_[t]);
    return cards_[static_cast<uint8_t>(cards_[ratchet_] + cards_[rotor_])] ^
           cards_[cards_[static_cast<uint8_t>(cards_[lastPlain_] + cards_[lastCipher_] +
                                              cards_[avalanche_])]];
}

uint8_t TSapphire::Encipher(uint8_t b) {
    uint8_t out = b ^ Step();
    lastPlain_ = b;
    lastCipher_ = out;
    return out;
}

uint8_t TSapphire::Decipher(uint8_t b) {
    uint8_t out = b ^ Step();
    lastPlain_ = out;
    lastCipher_ = b;
    return out;
}

uint16_t VolgaCrc16(const uint8_t* data, size_t n) {
    uint16_t crc = 0xFFFF;
    for (size_t i = 0; i < n; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001)
                                                    : static_cast<uint16_t>(crc >> 1);
    }
    return crc;
}
