// The few shapes the studio window draws with, over SDL's renderer.
#include "hostsim/window/shapes.h"

#include <algorithm>
#include <cmath>

#include "hostsim/window/text_render.h"

namespace hostsim {

SDL_Renderer* shapeRenderer = nullptr;

void SetColour(SDL_Color colour, int alpha)
{
    SDL_SetRenderDrawColor(shapeRenderer, colour.r, colour.g, colour.b, alpha < 0 ? colour.a : alpha);
}

void FillPolygon(const std::vector<Point>& points, SDL_Color colour)
{
    std::vector<SDL_Vertex> vertices;
    for (size_t n = 1; n + 1 < points.size(); ++n) {
        for (const Point& p : { points[0], points[n], points[n + 1] })
            vertices.push_back({ { p.x, p.y }, colour, { 0, 0 } });
    }
    SDL_RenderGeometry(shapeRenderer, nullptr, vertices.data(), static_cast<int>(vertices.size()), nullptr, 0);
}

std::vector<Point> Circle(float x, float y, float radius, int segments)
{
    std::vector<Point> points;
    for (int n = 0; n < segments; ++n) {
        float angle = 2.0f * 3.14159265f * n / segments;
        points.push_back({ x + radius * std::cos(angle), y + radius * std::sin(angle) });
    }
    return points;
}

void FillCircle(float x, float y, float radius, SDL_Color colour)
{
    FillPolygon(Circle(x, y, radius), colour);
}

void DrawRing(float x, float y, float radius, SDL_Color colour)
{
    std::vector<Point> points = Circle(x, y, radius, 40);
    SetColour(colour);
    for (size_t n = 0; n < points.size(); ++n) {
        const Point& a = points[n];
        const Point& b = points[(n + 1) % points.size()];
        SDL_RenderDrawLineF(shapeRenderer, a.x, a.y, b.x, b.y);
    }
}

void FillRect(int x, int y, int w, int h, SDL_Color colour, int alpha)
{
    SDL_Rect rect = { x, y, w, h };
    SetColour(colour, alpha);
    SDL_RenderFillRect(shapeRenderer, &rect);
}

Point Turned(float forward, float right, float heading)
{
    float radians = heading * 3.14159265f / 180.0f;
    // On screen, +y of the map is up.
    float fx = -std::sin(radians), fy = -std::cos(radians);  // forward
    float rx = std::cos(radians), ry = -std::sin(radians);   // right
    return { forward * fx + right * rx, forward * fy + right * ry };
}

void DrawLabel(const std::string& text, float x, float y, SDL_Color colour)
{
    int width = TextWidth(kFontPanel, text);
    int left = static_cast<int>(x) - width / 2;
    int top = static_cast<int>(y);
    FillRect(left - 3, top, width + 6, LineHeight(kFontPanel), { 0, 0, 0, 255 }, 140);
    DrawText(kFontPanel, text, colour, left, top);
}

SDL_Color CarColour(int32_t model)
{
    static const SDL_Color kPaints[] = {
        { 196, 48, 48, 255 },  { 48, 104, 196, 255 }, { 220, 220, 220, 255 }, { 60, 150, 80, 255 },
        { 210, 170, 40, 255 }, { 120, 70, 160, 255 }, { 90, 90, 96, 255 },    { 200, 110, 40, 255 },
    };
    return kPaints[static_cast<uint32_t>(model) % (sizeof kPaints / sizeof kPaints[0])];
}

void DrawCarShape(Point centre, float heading, float pixelsPerUnit, SDL_Color paint)
{
    // However far out the view is, a car stays a few pixels long.
    const float halfLength = std::max(kCarHalfLength * pixelsPerUnit, 3.0f);
    const float halfWidth = halfLength * kCarHalfWidth / kCarHalfLength;
    auto corner = [&](float forward, float right) {
        Point p = Turned(forward, right, heading);
        return Point { centre.x + p.x, centre.y + p.y };
    };
    FillPolygon({ corner(halfLength, -halfWidth), corner(halfLength, halfWidth), corner(-halfLength, halfWidth),
                  corner(-halfLength, -halfWidth) },
                paint);
    // The windscreen shows which way the car faces.
    FillPolygon({ corner(halfLength * 0.55f, -halfWidth * 0.8f), corner(halfLength * 0.55f, halfWidth * 0.8f),
                  corner(halfLength * 0.2f, halfWidth * 0.8f), corner(halfLength * 0.2f, -halfWidth * 0.8f) },
                { 30, 40, 56, 255 });
}

}  // namespace hostsim
