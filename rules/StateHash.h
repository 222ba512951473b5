#pragma once

#include <cstdint>

// A 64-bit FNV-1a hash over whole numbers, each taken as its 8 bytes in
// little-endian order, so the value is the same on every machine.
class CStateHash {
public:
    void Add(int64_t value) {
        uint64_t bits = static_cast<uint64_t>(value);
        for (int byte = 0; byte < 8; ++byte) {
            hash ^= bits & 0xFFU;
            hash *= prime;
            bits >>= 8;
        }
    }
    uint64_t Get() const { return hash; }

private:
    static constexpr uint64_t prime = 0x100000001B3ULL;
    uint64_t                  hash  = 0xCBF29CE484222325ULL;
};
