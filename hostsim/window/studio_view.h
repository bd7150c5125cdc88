// What the studio window shows: the top-down view that follows the player,
// the radar, the host's texts, fades, letterbox bars and the fixed camera,
// and the side panel a modder reads (keys held, the last commands sent).
#pragma once

#include <SDL.h>

#include "hostsim/window/studio_frame.h"

namespace hostsim {

void DrawStudio(SDL_Renderer* renderer, const StudioFrame& frame);

}  // namespace hostsim
