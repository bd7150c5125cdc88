// The studio window's size and the one way it maps the map to the screen,
// for the view and for the radar alike: north up, a world point at a screen
// centre, so many pixels a unit.
#pragma once

namespace hostsim {

static const int kWindowWidth = 1280;
static const int kWindowHeight = 720;
static const int kViewWidth = 900;  // the game's picture; the panel is to its right

struct Point {
    float x, y;
    bool operator==(const Point&) const = default;
};

struct ViewCamera {
    float x, y;                                            // the world point at the centre
    float scale;                                           // pixels a unit
    Point centre = { kViewWidth / 2, kWindowHeight / 2 };  // on the screen; the view's unless told
    // From the centre to the world point, on the screen.
    Point Offset(float wx, float wy) const { return { (wx - x) * scale, -(wy - y) * scale }; }
    Point Screen(float wx, float wy) const
    {
        const Point offset = Offset(wx, wy);
        return { centre.x + offset.x, centre.y + offset.y };
    }
    bool operator==(const ViewCamera&) const = default;
};

}  // namespace hostsim
