#pragma once

#include <cstdint>

// A SplitMix64 sequence: the same numbers from the same seed on every
// machine and standard library (the players' choices must not depend on
// the library's distributions).
class CSeededRandom {
public:
    explicit CSeededRandom(uint64_t seed) : state(seed) {}

    uint64_t Next() {
        uint64_t value = (state += 0x9E3779B97F4A7C15ULL);
        value          = (value ^ (value >> 30)) * 0xBF58476D1CE4E5B9ULL;
        value          = (value ^ (value >> 27)) * 0x94D049BB133111EBULL;
        return value ^ (value >> 31);
    }
    // A whole number in 0..count-1 (0 when count is not positive).
    int Below(int count) { return count > 0 ? static_cast<int>(Next() % static_cast<uint64_t>(count)) : 0; }
    // A number in [0, 1).
    double Fraction() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }

private:
    uint64_t state;
};
