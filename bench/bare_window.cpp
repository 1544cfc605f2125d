// The benchmark's bare GL window: SDL opens the game's window, clears it once and presents it.
// What start-up costs before a program draws anything of its own.
#include "app/GameSettings.h"
#include "platform/StartupPhase.h"

#include <GL/gl.h>
#include <SDL.h>
#include <cstdio>

namespace {

bool OpenWindow()
{
    const StartupPhase phase("SDL and video");
    if (SDL_Init(SDL_INIT_TIMER | SDL_INIT_VIDEO) < 0) {
        std::fprintf(stderr, "Unable to initialize SDL: %s\n", SDL_GetError());
        return false;
    }
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    if (SDL_SetVideoMode(settings::windowWidth, settings::windowHeight, 32, SDL_OPENGL) == nullptr) {
        std::fprintf(stderr, "Unable to set video mode: %s\n", SDL_GetError());
        return false;
    }
    return true;
}

} // namespace

int main()
{
    if (!OpenWindow())
        return 1;
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    SDL_GL_SwapBuffers();
    SDL_Quit();
    return 0;
}
