#pragma once
// The stress program's choices: a seeded generator, so that a run's seed and
// a case's number always give the same case.

#include <cstdint>
#include <initializer_list>
#include <random>

class Random {
public:
    explicit Random(uint64_t seed) : FEngine(seed) {}

    // 0 to n - 1 (0 for n = 0).
    uint32_t Below(uint32_t n) { return n ? static_cast<uint32_t>(FEngine() % n) : 0; }
    int32_t Between(int32_t low, int32_t high) {
        return static_cast<int32_t>(static_cast<int64_t>(low) + Below(static_cast<uint32_t>(int64_t{high} - low + 1)));
    }
    bool Percent(uint32_t chance) { return Below(100) < chance; }
    template <typename T>
    T Pick(std::initializer_list<T> choices) {
        return choices.begin()[Below(static_cast<uint32_t>(choices.size()))];
    }

private:
    std::mt19937_64 FEngine;
};

// The seed of case `index` of a run seeded `seed` (splitmix64 of the two).
inline uint64_t CaseSeed(uint64_t seed, uint64_t index) {
    uint64_t mixed = seed * 0x9E3779B97F4A7C15ULL + index + 1;
    mixed = (mixed ^ (mixed >> 30)) * 0xBF58476D1CE4E5B9ULL;
    mixed = (mixed ^ (mixed >> 27)) * 0x94D049BB133111EBULL;
    return mixed ^ (mixed >> 31);
}
