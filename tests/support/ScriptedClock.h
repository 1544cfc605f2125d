// An SDL_GetTicks of the tests' own, linked in front of SDL's for the game's code, that a
// test can hold at any millisecond.
#pragma once

#include <cstdint>

namespace ScriptedClock {

// From now on the game's clock reads `ticks` until the next Hold or Release.
void Hold(std::uint32_t ticks);
// Back to SDL's own clock.
void Release();

} // namespace ScriptedClock
