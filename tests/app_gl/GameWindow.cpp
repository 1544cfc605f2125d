// Starts the shared game for the GL tests of the application object.
#include "app_gl/GameWindow.h"

#include "app/CApp.h"
#include "app/GameSettings.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <unistd.h>

CApp& Game()
{
    static CApp* app = [] {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        EXPECT_EQ(chdir(SKARNHOLT_GAME_DIR), 0);
        auto* started = new CApp(settings::windowWidth, settings::windowHeight, settings::zombies,
                                 settings::cityColumns, settings::cityRows);
        EXPECT_TRUE(started->Init());
        return started;
    }();
    return *app;
}
