// The keyboard as the module polls it: SDL's physical keys as Windows
// virtual-key codes, with left and right modifiers told apart.
#pragma once

#include <SDL.h>

namespace hostsim {

// The virtual-key code of the key, or 0 for a key the host has no code for.
int VirtualKeyOf(SDL_Scancode scancode);

}  // namespace hostsim
