// The ground and the city from above, and the city on the radar: the static
// picture under everything that moves, kept in a texture.
#pragma once

#include <SDL.h>

#include "hostsim/window/shapes.h"
#include "hostsim/window/studio_frame.h"

namespace hostsim {

// Draws the ground grid and the frame's city; the picture is drawn anew only
// when the camera or the city changed since the last call.
void DrawGroundAndCity(const StudioFrame& frame);
// The renderer lost what its textures held (SDL_RENDER_TARGETS_RESET).
void ForgetCityPicture();
// The boxes, objects and parked cars on the radar's disc, through the
// radar's camera.
void DrawCityOnRadar(const StudioFrame& frame, const ViewCamera& radar, float radius);

}  // namespace hostsim
