// Starts the shared game for the GL tests of the application object.
#include "app_gl/GameWindow.h"

#include "app/CApp.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <unistd.h>

CApp& Game()
{
    static CApp* app = [] {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        EXPECT_EQ(chdir(SKARNHOLT_GAME_DIR), 0);
        auto* started = new CApp(1024, 768, 50, 25, 25);
        EXPECT_TRUE(started->Init());
        return started;
    }();
    return *app;
}
