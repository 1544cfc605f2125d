// The one started game that the GL tests of the application object share.
#pragma once

class CApp;

// Started on first use in the game folder, silently; a second video mode would drop
// the GL context, so every test works on this one.
CApp& Game();
