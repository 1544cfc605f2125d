// Program entry: classic SDL on Linux does not rename main, so main hands over to SDL_main.
#include <SDL.h>

extern "C" int SDL_main(int argc, char** argv);

int main(int argc, char** argv)
{
    return SDL_main(argc, argv);
}
