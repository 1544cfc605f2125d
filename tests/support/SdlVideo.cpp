// Starts SDL's video and timer, retrying the one failure a fresh Xvfb is known for.
#include "support/SdlVideo.h"

#include <SDL.h>
#include <cstdio>
#include <cstring>

bool StartSdlVideo()
{
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER) == 0)
            return true;
        if (std::strstr(SDL_GetError(), "Couldn't open X11 display") == nullptr)
            break;
        SDL_Delay(500);
    }
    std::fprintf(stderr, "SDL_Init failed: %s\n", SDL_GetError());
    return false;
}
