// Which SDL video driver may run the game: the windowless ones only when asked for by name.
#include "app/VideoDriver.h"

#include <cstring>
#include <strings.h>

namespace video_driver {

bool ShowsNoWindow(const char* driver)
{
    return std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0;
}

// SDL trims nothing: " offscreen" names no driver, so SDL would not pick offscreen for it.
bool AskedFor(const char* driver, const char* asked)
{
    if (asked == nullptr)
        return false;
    const size_t length = std::strlen(driver);
    for (const char* name = asked; *name != '\0';) {
        const size_t nameLength = std::strcspn(name, ",");
        if (nameLength == length && strncasecmp(name, driver, length) == 0)
            return true;
        name += nameLength;
        if (*name == ',')
            ++name;
    }
    return false;
}

} // namespace video_driver
