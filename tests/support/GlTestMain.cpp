// Entry point of the GL test programs: a private Xvfb for the whole run and, where the
// tests want it, one 1024x768 double-buffered GL window made current before they start.
#include "support/SdlVideo.h"
#include "support/XvfbServer.h"

#include <SDL.h>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

#ifdef SKARNHOLT_TEST_OPENS_WINDOW
bool OpenTestWindow()
{
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    if (SDL_SetVideoMode(1024, 768, 32, SDL_OPENGL) == nullptr) {
        std::fprintf(stderr, "SDL_SetVideoMode failed: %s\n", SDL_GetError());
        return false;
    }
    return true;
}
#endif

} // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    XvfbServer xvfb;
    if (!xvfb.Running()) {
        std::fprintf(stderr, "could not start Xvfb\n");
        return 1;
    }
    setenv("DISPLAY", xvfb.Display().c_str(), 1);
    // Started here, with retries, also for tests whose code starts SDL again itself.
    if (!StartSdlVideo())
        return 1;
#ifdef SKARNHOLT_TEST_OPENS_WINDOW
    if (!OpenTestWindow())
        return 1;
#endif
    const int result = RUN_ALL_TESTS();
    SDL_Quit();
    return result;
}
