// Stands in front of SDL_GetTicks in every test program. Hidden, so that only the game's
// code linked in here sees it; SDL and the other shared libraries keep their own clock.
// SDL's header is left out: its declaration would make this one visible.
#include "support/ScriptedClock.h"

#include <dlfcn.h>

namespace {

bool held = false;
std::uint32_t heldTicks = 0;

std::uint32_t SdlTicks()
{
    using Ticks = std::uint32_t (*)(void);
    static const Ticks sdlTicks = reinterpret_cast<Ticks>(dlsym(RTLD_NEXT, "SDL_GetTicks"));
    return sdlTicks();
}

} // namespace

extern "C" __attribute__((visibility("hidden"))) std::uint32_t SDL_GetTicks(void)
{
    return held ? heldTicks : SdlTicks();
}

namespace ScriptedClock {

void Hold(std::uint32_t ticks)
{
    held = true;
    heldTicks = ticks;
}

void Release() { held = false; }

} // namespace ScriptedClock
