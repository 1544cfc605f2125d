// The game's entry point. Classic SDL declares it only where it renames main.
#pragma once

extern "C" int SDL_main(int argc, char* argv[]);
