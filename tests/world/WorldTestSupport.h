// Helpers of the world tests: scripted draw sequences, street sets, and a fixture that starts
// every test with no scripted draws and zeroed rand()/srand() counters.
#pragma once

#include "support/ScriptedRand.h"
#include "world/CCity.h"

#include <gtest/gtest.h>
#include <random>
#include <set>
#include <utility>
#include <vector>

namespace WorldTest {

inline void ScriptAll(const std::vector<int>& draws)
{
    for (const int draw : draws)
        ScriptedRand::Script({ draw });
}

// count draws in rand()'s range from a generator with the test's own seed.
inline void ScriptRandom(unsigned seed, int count)
{
    std::mt19937 generator(seed);
    std::uniform_int_distribution<int> draw(0, 2147483647);
    for (int i = 0; i < count; ++i)
        ScriptedRand::Script({ draw(generator) });
}

using Cell = std::pair<int, int>;  // (column, row)

inline std::set<Cell> Streets(const CCity& city)
{
    std::set<Cell> streets;
    for (int y = 0; y < city.height; ++y) {
        for (int x = 0; x < city.width; ++x) {
            if (city.Grid(x, y) == 0)
                streets.insert({ x, y });
        }
    }
    return streets;
}

class Fixture : public testing::Test {
protected:
    void SetUp() override
    {
        ScriptedRand::Clear();
        ScriptedRand::ResetCount();
    }
    void TearDown() override { ScriptedRand::Clear(); }
};

} // namespace WorldTest
