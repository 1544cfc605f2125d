// A small seeded random source, so every regeneration gives byte-identical assets.
#pragma once

#include <cstdint>

class Random {
public:
    explicit Random(std::uint64_t seed) : state(seed * 0x9E3779B97F4A7C15ull + 1) {}

    // xorshift64*: fast, and unlike the standard distributions the same on every library.
    std::uint64_t Next()
    {
        state ^= state >> 12;
        state ^= state << 25;
        state ^= state >> 27;
        return state * 0x2545F4914F6CDD1Dull;
    }

    // Uniform in [0, 1).
    double Unit() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }
    // Uniform in [low, high).
    double Range(double low, double high) { return low + (high - low) * Unit(); }
    // Uniform in [-1, 1): white noise.
    double Signed() { return 2.0 * Unit() - 1.0; }
    int Below(int count) { return static_cast<int>(Unit() * count); }

private:
    std::uint64_t state;
};
