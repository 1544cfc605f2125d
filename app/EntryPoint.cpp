// The game's entry: banner, one application object, start-up, then the loop.
#include <cstdio>

#include "app/CApp.h"
#include "app/EntryPoint.h"
#include "app/GameSettings.h"

int SDL_main(int, char*[])
{
    fputs("", stdout);
    fputs(" ", stdout);
    fputs("0.5b", stdout);
    fputs("\n", stdout);
    fflush(stdout);
    // Lives until the process ends: its textures and lists belong to the GL context.
    CApp* const app = new CApp(settings::windowWidth, settings::windowHeight, settings::zombies,
                               settings::cityColumns, settings::cityRows);
    if (!app->Init())
        return -1;
    app->Loop();
    return 0;
}
