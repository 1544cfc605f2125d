// Replaces the C library's rand/srand in every test program, so world code can be scripted.
#include "support/ScriptedRand.h"

#include <deque>

namespace {

std::deque<int> scripted;
unsigned long fallbackState = 1;
long callCount = 0;
long seedCount = 0;

} // namespace

extern "C" int rand(void) noexcept
{
    ++callCount;
    if (!scripted.empty()) {
        const int draw = scripted.front();
        scripted.pop_front();
        return draw;
    }
    fallbackState = fallbackState * 1103515245UL + 12345UL;
    return static_cast<int>((fallbackState / 65536UL) % 2147483648UL);
}

extern "C" void srand(unsigned int seed) noexcept
{
    ++seedCount;
    fallbackState = seed;
}

namespace ScriptedRand {

void Script(std::initializer_list<int> draws) { scripted.insert(scripted.end(), draws); }
void Clear() { scripted.clear(); }
int Pending() { return static_cast<int>(scripted.size()); }
long Calls() { return callCount; }
void ResetCount() { callCount = 0; seedCount = 0; }
long Seeds() { return seedCount; }

} // namespace ScriptedRand
