// Input handling and the camera step on a constructed application object, fed with
// synthetic SDL events; no window or GL context is involved.
#include "app/CApp.h"
#include "app/GameSettings.h"
#include "support/SdlEvents.h"

#include <gtest/gtest.h>

namespace {

class CAppEvents : public testing::Test {
protected:
    CAppEvents()
        : app(settings::windowWidth, settings::windowHeight, settings::zombies, settings::cityColumns,
              settings::cityRows)
    {
        app.running = true;
        app.eyeY = 50;
    }

    void Send(SDL_Event e) { app.OnEvent(&e); }
    void Press(SDLKey key) { Send(KeyEvent(SDL_KEYDOWN, key)); }
    void Release(SDLKey key) { Send(KeyEvent(SDL_KEYUP, key)); }

    CApp app;
};

TEST_F(CAppEvents, TheLastArrowPressedWinsAndAnyReleaseStops)
{
    Press(SDLK_RIGHT);
    Press(SDLK_LEFT);
    EXPECT_EQ(app.scrollDirection, 2);
    app.ScrollCamera();
    EXPECT_FLOAT_EQ(app.eyeX, -0.5f);
    EXPECT_FLOAT_EQ(app.centerX, -0.5f);

    Release(SDLK_RIGHT);
    EXPECT_EQ(app.scrollDirection, 0);
    app.ScrollCamera();
    EXPECT_FLOAT_EQ(app.eyeX, -0.5f);
}

TEST_F(CAppEvents, EachArrowMovesEyeAndTargetTogetherWithoutBounds)
{
    const struct { SDLKey key; float dx; float dz; } moves[] = {
        {SDLK_RIGHT, 0.5f, 0}, {SDLK_LEFT, -0.5f, 0}, {SDLK_UP, 0, -0.5f}, {SDLK_DOWN, 0, 0.5f}};
    for (const auto& move : moves) {
        app.eyeX = app.centerX = 0;
        app.eyeZ = 10;
        app.centerZ = 0;
        Press(move.key);
        for (int frame = 0; frame < 200; ++frame)
            app.ScrollCamera();
        EXPECT_FLOAT_EQ(app.eyeX, 200 * move.dx);
        EXPECT_FLOAT_EQ(app.centerX, 200 * move.dx);
        EXPECT_FLOAT_EQ(app.eyeZ, 10 + 200 * move.dz);
        EXPECT_FLOAT_EQ(app.centerZ, 200 * move.dz);
        Release(move.key);
    }
    EXPECT_FLOAT_EQ(app.eyeY, 50);
}

TEST_F(CAppEvents, WheelZoomStopsAtItsSinglePrecisionLimits)
{
    Send(ButtonDown(SDL_BUTTON_WHEELDOWN));
    EXPECT_EQ(app.eyeY, 50.0f);

    for (int notch = 0; notch < 42; ++notch)
        Send(ButtonDown(SDL_BUTTON_WHEELUP));
    EXPECT_NEAR(app.eyeY, 20.6f, 1e-4);
    const float closest = app.eyeY;
    Send(ButtonDown(SDL_BUTTON_WHEELUP));
    EXPECT_EQ(app.eyeY, closest);

    for (int notch = 0; notch < 42; ++notch)
        Send(ButtonDown(SDL_BUTTON_WHEELDOWN));
    EXPECT_EQ(app.eyeY, 50.0f);
    EXPECT_FLOAT_EQ(app.centerY, 0);
}

TEST_F(CAppEvents, KeyOneTogglesTheBuildings)
{
    const char before = buld;
    Press(SDLK_1);
    EXPECT_EQ(buld, before ^ 1);
    Release(SDLK_1);
    EXPECT_EQ(buld, before ^ 1);
    Press(SDLK_1);
    EXPECT_EQ(buld, before);
}

TEST_F(CAppEvents, EscapeEndsTheGameOnReleaseOnly)
{
    Press(SDLK_ESCAPE);
    EXPECT_TRUE(app.running);
    Release(SDLK_ESCAPE);
    EXPECT_FALSE(app.running);
}

TEST_F(CAppEvents, WindowCloseEndsTheGame)
{
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    Send(quit);
    EXPECT_FALSE(app.running);
}

// With an animation running the click must not reach the pick pass: there is no GL
// context here, so a pick would not come back with the tile name unchanged.
TEST_F(CAppEvents, ClickDuringAnAnimationIsIgnored)
{
    app.pickedName = 313;
    const int clickTime = PickStartTime();
    Send(ButtonDown(SDL_BUTTON_LEFT, 500, 400));
    EXPECT_EQ(app.pickedName, 313);
    EXPECT_EQ(PickStartTime(), clickTime);
}

TEST_F(CAppEvents, OtherEventsChangeNothing)
{
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    Send(motion);
    Send(ButtonDown(SDL_BUTTON_RIGHT));
    Send(KeyEvent(SDL_MOUSEBUTTONUP, SDLK_UNKNOWN));
    Press(SDLK_a);
    EXPECT_TRUE(app.running);
    EXPECT_EQ(app.scrollDirection, 0);
    EXPECT_EQ(app.eyeY, 50.0f);
    EXPECT_EQ(app.pickedName, 0);
}

TEST(NearestHit, SmallestUnsignedDepthWinsAndTheEarlierRecordKeepsATie)
{
    const GLuint records[] = {
        1, 0x90000000u, 0x90000000u, 11,
        1, 0x10000000u, 0x20000000u, 22,
        1, 0x80000000u, 0x80000000u, 33,
        1, 0x10000000u, 0x10000000u, 44,
    };
    EXPECT_EQ(CApp::NearestHitName(records, 4), 22u);
    EXPECT_EQ(CApp::NearestHitName(records, 1), 11u);
    EXPECT_EQ(CApp::NearestHitName(records + 8, 2), 44u);
}

} // namespace
