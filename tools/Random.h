#pragma once

#include <cstdint>

// A small seeded generator (splitmix64) so that every generated file comes
// out byte for byte the same on every machine and in every build type; the
// standard library's engines and distributions are not portable enough.
class CRandom {
public:
    explicit CRandom(uint64_t seed) : state(seed) {}

    uint64_t Next() {
        state += 0x9E3779B97F4A7C15ull;
        uint64_t z = state;
        z          = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z          = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // Uniform in [0, 1).
    double Uniform() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }
    double Range(double low, double high) { return low + (high - low) * Uniform(); }
    // Uniform integer in [0, count).
    int Below(int count) { return count <= 0 ? 0 : static_cast<int>(Next() % static_cast<uint64_t>(count)); }

private:
    uint64_t state;
};
