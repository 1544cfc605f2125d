// The game's five settings, which the entry point hands to the application object; the
// tests and the benchmark start the very same game from them.
#pragma once

namespace settings {

constexpr int windowWidth = 1024;
constexpr int windowHeight = 768;
constexpr int zombies = 50;
constexpr int cityColumns = 25;
constexpr int cityRows = 25;

} // namespace settings
