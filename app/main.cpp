// Program entry: classic SDL on Linux does not rename main, so main hands over to SDL_main
// and shuts SDL down on the way out, as SDL's start-up library does elsewhere.
#include <SDL.h>
#include "app/EntryPoint.h"

int main(int argc, char** argv)
{
    const int status = SDL_main(argc, argv);
    SDL_Quit();
    return status;
}
