// The Sapphire II stream cipher used by password-protected tables.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

class TSapphire {
public:
    // Keys a fresh state; an empty key gives the fixed initial state.
    explicit TSapphire(std::string_view key);
    uint8_t Encipher(uint8_t b);
    uint8_t Decipher(uint8_t b);
    void Encipher(uint8_t* data, size_t n) {
        for (size_t i = 0; i < n; ++i) data[i] = Encipher(data[i]);
    }
    void Decipher(uint8_t* data, size_t n) {
        for (size_t i = 0; i < n; ++i) data[i] = Decipher(data[i]);
    }

private:
    uint8_t KeyRand(unsigned limit, std::string_view key, size_t& keypos, uint8_t& rsum);
    uint8_t Step();

    uint8_t cards_[256];
    uint8_t rotor_, ratchet_, avalanche_, lastPlain_, lastCipher_;
};

// CRC-16/MODBUS (reflected polynomial 0xA001, initial 0xFFFF, no final XOR).
uint16_t VolgaCrc16(const uint8_t* data, size_t n);
