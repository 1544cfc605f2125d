// Once the game has started, only the events it acts on take room in SDL's queue: pointer
// motion and other ignored events must never crowd out a click or a key release.
#include "app/CApp.h"
#include "app_gl/GameWindow.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <set>

namespace {

// What the game acts on: keys pressed and released, buttons pressed, the window closed.
const std::set<int> handledTypes = {SDL_KEYDOWN, SDL_KEYUP, SDL_MOUSEBUTTONDOWN, SDL_QUIT};

// Every event SDL queues until Escape comes up, the last of the input made. The deadline
// only bounds a failure: an emulated machine may take seconds to read the input, and a
// native one returns as soon as Escape is in.
std::multiset<int> QueuedUntilEscapeReleased()
{
    std::multiset<int> types;
    const Uint32 deadline = SDL_GetTicks() + 30000;
    while (SDL_GetTicks() < deadline) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            types.insert(event.type);
            if (event.type == SDL_KEYUP && event.key.keysym.sym == SDLK_ESCAPE)
                return types;
        }
        SDL_Delay(5);
    }
    return types;
}

TEST(EventQueue, EveryTypeTheGameIgnoresStaysOutOfTheQueue)
{
    Game();
    for (int type = SDL_NOEVENT + 1; type < SDL_NUMEVENTS; ++type) {
        const int expected = handledTypes.count(type) != 0 ? SDL_ENABLE : SDL_IGNORE;
        EXPECT_EQ(SDL_EventState(static_cast<Uint8>(type), SDL_QUERY), expected) << "event type " << type;
    }
}

// Real X input on the game's window: moves, a click and a key, as a player makes them.
TEST(EventQueue, MotionAndReleasesStayOutWhileClicksAndKeysArrive)
{
    Game();
    SDL_Event stale;
    while (SDL_PollEvent(&stale)) {
    }
    ASSERT_EQ(std::system("xdotool mousemove 100 100 mousemove 300 200 mousemove 500 300 click 1 "
                          "key 1 keydown Escape keyup Escape"),
              0);

    const std::multiset<int> queued = QueuedUntilEscapeReleased();
    EXPECT_EQ(queued.count(SDL_MOUSEMOTION), 0u);
    EXPECT_EQ(queued.count(SDL_MOUSEBUTTONUP), 0u);
    EXPECT_EQ(queued.count(SDL_MOUSEBUTTONDOWN), 1u);
    EXPECT_EQ(queued.count(SDL_KEYDOWN), 2u);
    EXPECT_EQ(queued.count(SDL_KEYUP), 2u) << "Escape never came up";
    for (const int type : queued)
        EXPECT_EQ(handledTypes.count(type), 1u) << "queued an event of ignored type " << type;
}

} // namespace
