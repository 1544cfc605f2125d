// Which SDL video driver may run the game: the windowless ones only when asked for by name.
#pragma once

namespace video_driver {

// True for SDL 2's drivers that draw into memory and show no window.
bool ShowsNoWindow(const char* driver);

// True when `asked`, the value of SDL_VIDEODRIVER (null when unset), names `driver`: one name
// or a comma-separated list, each compared whole and in any case, as SDL itself matches them.
bool AskedFor(const char* driver, const char* asked);

} // namespace video_driver
