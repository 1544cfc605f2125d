// SDL events as the game's loop hands them over, for tests and the benchmark.
#pragma once

#include <SDL.h>

inline SDL_Event KeyEvent(Uint8 type, SDLKey key)
{
    SDL_Event event{};
    event.type = type;
    event.key.type = type;
    event.key.keysym.sym = key;
    return event;
}

inline SDL_Event ButtonDown(Uint8 button, Uint16 x = 0, Uint16 y = 0)
{
    SDL_Event event{};
    event.type = SDL_MOUSEBUTTONDOWN;
    event.button.type = SDL_MOUSEBUTTONDOWN;
    event.button.button = button;
    event.button.state = SDL_PRESSED;
    event.button.x = x;
    event.button.y = y;
    return event;
}

inline SDL_Event LeftClick(Uint16 x, Uint16 y) { return ButtonDown(SDL_BUTTON_LEFT, x, y); }
