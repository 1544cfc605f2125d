// The game seeds rand() from the calendar clock; in the benchmark the clock stands still,
// so that every run builds the same city with the same zombies and draws the same frames.
// Hidden, so that only the game's code linked in here sees it, not the shared libraries.
#include <ctime>

extern "C" __attribute__((visibility("hidden"))) time_t time(time_t* out) noexcept
{
    const time_t fixed = 1700000000;
    if (out != nullptr)
        *out = fixed;
    return fixed;
}
