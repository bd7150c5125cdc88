// The few shapes the studio window draws with, over SDL's renderer: filled
// polygons and circles, rings, rectangles and labels on a dark backing.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <string>
#include <vector>

#include "hostsim/window/view_geometry.h"

namespace hostsim {

// Where the shapes go; set by the frame before it draws, on the host's thread.
extern SDL_Renderer* shapeRenderer;

static const SDL_Color kLabel = { 250, 250, 250, 255 };

void SetColour(SDL_Color colour, int alpha = -1);
// A convex polygon as a triangle fan.
void FillPolygon(const std::vector<Point>& points, SDL_Color colour);
std::vector<Point> Circle(float x, float y, float radius, int segments = 24);
void FillCircle(float x, float y, float radius, SDL_Color colour);
void DrawRing(float x, float y, float radius, SDL_Color colour);
void FillRect(int x, int y, int w, int h, SDL_Color colour, int alpha = -1);
// A point turned by a heading: heading 0 faces up the map (+y) and grows to
// the left, as the host's headings do.
Point Turned(float forward, float right, float heading);
// A label centred on x, its top at y.
void DrawLabel(const std::string& text, float x, float y, SDL_Color colour = kLabel);

// A car from above, its windscreen towards the heading; the body is
// 2 * kCarHalfLength units long.
static const float kCarHalfLength = 2.3f, kCarHalfWidth = 1.0f;
SDL_Color CarColour(int32_t model);
void DrawCarShape(Point centre, float heading, float pixelsPerUnit, SDL_Color paint);

}  // namespace hostsim
