// The ground and the city from above: the view's camera, its zoom, and the
// static picture under everything that moves, kept in a texture.
#pragma once

#include <SDL.h>

#include "hostsim/engine.h"
#include "hostsim/window/shapes.h"

static const int kWindowWidth = 1280;
static const int kWindowHeight = 720;
static const int kViewWidth = 900;   // the game's picture; the panel is to its right

struct ViewCamera {
    float x, y;   // the world point at the centre of the view
    float scale;  // pixels a unit
    Point Screen(float wx, float wy) const
    {
        return { kViewWidth / 2 + (wx - x) * scale, kWindowHeight / 2 - (wy - y) * scale };
    }
};

// Draws the ground grid and the city; the picture is drawn anew only when
// the camera or the city changed since the last call.
void DrawGroundAndCity(const HostWorld& world, const ViewCamera& camera);
// The renderer lost what its textures held (SDL_RENDER_TARGETS_RESET).
void ForgetCityPicture();
// The camera that shows the whole city and the player; false while the boot
// has sent nothing of the city.
bool CityCamera(const HostWorld& world, ViewCamera* camera);
// The boxes, objects and parked cars around the player on the radar's disc,
// at `scale` pixels a unit.
void DrawCityOnRadar(const HostWorld& world, Point centre, float radius, float scale);
