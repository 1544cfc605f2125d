// SDL_VIDEODRIVER as the game reads it to let a windowless driver run: matched as SDL matches it.
#include "app/VideoDriver.h"

#include <gtest/gtest.h>

namespace {

TEST(VideoDriver, ANameInAnyCaseAnywhereInTheListAsksForTheDriver)
{
    for (const char* asked : {"offscreen", "OffScreen", "x11,offscreen", "offscreen,x11",
                              "wayland,OFFSCREEN,x11", ",offscreen"})
        EXPECT_TRUE(video_driver::AskedFor("offscreen", asked)) << asked;
}

// SDL compares each name whole and trims nothing, so none of these would make it pick the driver.
TEST(VideoDriver, UnsetEmptyPartialOrSpacedNamesDoNotAskForIt)
{
    EXPECT_FALSE(video_driver::AskedFor("offscreen", nullptr));
    for (const char* asked : {"", "x11", "x11,wayland", "offscree", "offscreens", "off", " offscreen",
                              "x11, offscreen", "offscreen ", "offscreen;x11", ","})
        EXPECT_FALSE(video_driver::AskedFor("offscreen", asked)) << '"' << asked << '"';
}

} // namespace
