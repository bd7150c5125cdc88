// The static part of the view: the ground grid and the city the boot sent.
// It is drawn into a texture and copied from there while the camera stands,
// so that frames where only a car or a label moves cost one copy.
#include "hostsim/window/city_view.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "hostsim/commands/host_commands.h"

namespace hostsim {

static const SDL_Color kGround = { 52, 66, 58, 255 };
static const SDL_Color kGridLine = { 64, 80, 71, 255 };
static const SDL_Color kGridMajor = { 78, 96, 86, 255 };

// Grid lines every 5 units, or 25, 125, ... when zoomed out so far that
// they would be closer than this; every fifth line is a major one.
static const float kGridStep = 5.0f;
static const float kClosestGridLines = 10.0f;  // pixels

struct CityPicture {
    SDL_Texture* texture = nullptr;  // view-sized; nullptr when render targets are not available
    bool drawn = false;
    ViewCamera camera = {};                            // what the texture shows
    size_t boxes = 0, objects = 0, carGenerators = 0;  // and how much of the city
};

// Used on the host's thread only, which draws the window.
static CityPicture picture;

static void DrawGrid(const ViewCamera& camera)
{
    float step = kGridStep;
    while (step * camera.scale < kClosestGridLines)
        step *= 5;
    const float halfWidth = kViewWidth / 2.0f / camera.scale, halfHeight = kWindowHeight / 2.0f / camera.scale;
    for (float gx = std::floor((camera.x - halfWidth) / step) * step; gx <= camera.x + halfWidth; gx += step) {
        SetColour(std::fmod(gx, step * 5) == 0 ? kGridMajor : kGridLine);
        float sx = camera.Screen(gx, 0).x;
        SDL_RenderDrawLineF(shapeRenderer, sx, 0, sx, kWindowHeight);
    }
    for (float gy = std::floor((camera.y - halfHeight) / step) * step; gy <= camera.y + halfHeight; gy += step) {
        SetColour(std::fmod(gy, step * 5) == 0 ? kGridMajor : kGridLine);
        float sy = camera.Screen(0, gy).y;
        SDL_RenderDrawLineF(shapeRenderer, 0, sy, kViewWidth, sy);
    }
}

// The two kinds of map box the boot sends, each in a style of its own.
struct BoxStyle {
    CommandKind kind;
    SDL_Color fill, edge;
};
// clang-format off
static const BoxStyle kBoxStyles[] = {
    // kind           fill                    edge
    { kFirstMapBox,   { 190, 170, 110, 46 },  { 214, 192, 120, 255 } },
    { kSecondMapBox,  { 110, 160, 210, 46 },  { 130, 180, 235, 255 } },
};
// clang-format on
static_assert(sizeof kBoxStyles / sizeof kBoxStyles[0] == 2, "a style for each box command");

static const SDL_Color kObjectColour = { 200, 200, 190, 255 };
static const SDL_Color kGeneratorColour = { 120, 128, 140, 255 };
// Models are written beside objects and parked cars from this near on.
static const float kCityLabelScale = 6.0f;

static const BoxStyle& StyleOf(const HostBox& box)
{
    return FindHostCommand(box.command)->kind == kBoxStyles[0].kind ? kBoxStyles[0] : kBoxStyles[1];
}

// The box's corners in the order they go round; the module sends any two
// opposite corners.
static std::vector<Point> BoxCorners(const HostBox& box)
{
    return { { box.x1, box.y1 }, { box.x2, box.y1 }, { box.x2, box.y2 }, { box.x1, box.y2 } };
}

static void DrawBoxes(const StudioFrame& frame)
{
    const ViewCamera& camera = frame.camera;
    for (const HostBox& box : frame.boxes) {
        std::vector<Point> corners = BoxCorners(box);
        for (Point& corner : corners)
            corner = camera.Screen(corner.x, corner.y);
        FillPolygon(corners, StyleOf(box).fill);
        SetColour(StyleOf(box).edge);
        for (size_t n = 0; n < corners.size(); ++n) {
            const Point& a = corners[n];
            const Point& b = corners[(n + 1) % corners.size()];
            SDL_RenderDrawLineF(shapeRenderer, a.x, a.y, b.x, b.y);
        }
    }
}

static void DrawObjects(const StudioFrame& frame)
{
    const ViewCamera& camera = frame.camera;
    const float half = std::max(0.8f * camera.scale, 2.0f);
    for (const HostObject& object : frame.objects) {
        Point at = camera.Screen(object.x, object.y);
        FillPolygon({ { at.x, at.y - half }, { at.x + half, at.y }, { at.x, at.y + half }, { at.x - half, at.y } },
                    kObjectColour);
        if (camera.scale >= kCityLabelScale)
            DrawLabel("object " + std::to_string(object.model), at.x, at.y + half + 2, kObjectColour);
    }
}

static void DrawCarGenerators(const StudioFrame& frame)
{
    const ViewCamera& camera = frame.camera;
    for (const HostCarGenerator& generator : frame.carGenerators) {
        Point at = camera.Screen(generator.x, generator.y);
        DrawCarShape(at, generator.heading, camera.scale, kGeneratorColour);
        if (camera.scale >= kCityLabelScale)
            DrawLabel("parked " + std::to_string(generator.model), at.x, at.y + kCarHalfLength * camera.scale + 2,
                      kGeneratorColour);
    }
}

static void DrawStatic(const StudioFrame& frame)
{
    FillRect(0, 0, kViewWidth, kWindowHeight, kGround);
    DrawGrid(frame.camera);
    DrawBoxes(frame);
    DrawObjects(frame);
    DrawCarGenerators(frame);
}

void DrawGroundAndCity(const StudioFrame& frame)
{
    if (!picture.texture && SDL_RenderTargetSupported(shapeRenderer)) {
        picture.texture = SDL_CreateTexture(shapeRenderer, SDL_PIXELFORMAT_RGBA8888, SDL_TEXTUREACCESS_TARGET,
                                            kViewWidth, kWindowHeight);
        // Opaque: copied without blending, the cheapest way.
        if (picture.texture)
            SDL_SetTextureBlendMode(picture.texture, SDL_BLENDMODE_NONE);
    }
    if (!picture.texture) {
        DrawStatic(frame);
        return;
    }
    // The boot sends the city once; a later boot sends it again, the same.
    if (!picture.drawn || !(picture.camera == frame.camera) || picture.boxes != frame.boxes.size() ||
        picture.objects != frame.objects.size() || picture.carGenerators != frame.carGenerators.size()) {
        SDL_SetRenderTarget(shapeRenderer, picture.texture);
        DrawStatic(frame);
        SDL_SetRenderTarget(shapeRenderer, nullptr);
        picture.drawn = true;
        picture.camera = frame.camera;
        picture.boxes = frame.boxes.size();
        picture.objects = frame.objects.size();
        picture.carGenerators = frame.carGenerators.size();
    }
    const SDL_Rect view = { 0, 0, kViewWidth, kWindowHeight };
    SDL_RenderCopy(shapeRenderer, picture.texture, nullptr, &view);
}

void ForgetCityPicture()
{
    picture.drawn = false;
}

// --- The city on the radar -------------------------------------------------------------

// A convex polygon cut to a convex window that goes round clockwise on the
// screen (Sutherland and Hodgman's clipping).
static std::vector<Point> ClippedTo(std::vector<Point> polygon, const std::vector<Point>& window)
{
    for (size_t edge = 0; edge < window.size() && !polygon.empty(); ++edge) {
        const Point a = window[edge], b = window[(edge + 1) % window.size()];
        auto side = [&](Point p) { return (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x); };
        const std::vector<Point> whole = polygon;
        polygon.clear();
        for (size_t n = 0; n < whole.size(); ++n) {
            const Point p = whole[n], q = whole[(n + 1) % whole.size()];
            const float sideP = side(p), sideQ = side(q);
            if (sideP >= 0)
                polygon.push_back(p);
            if ((sideP >= 0) != (sideQ >= 0)) {
                const float t = sideP / (sideP - sideQ);
                polygon.push_back({ p.x + t * (q.x - p.x), p.y + t * (q.y - p.y) });
            }
        }
    }
    return polygon;
}

void DrawCityOnRadar(const StudioFrame& frame, const ViewCamera& radar, float radius)
{
    const Point centre = radar.centre;
    const std::vector<Point> disc = Circle(centre.x, centre.y, radius, 32);
    for (const HostBox& box : frame.boxes) {
        std::vector<Point> corners = BoxCorners(box);
        for (Point& corner : corners)
            corner = radar.Screen(corner.x, corner.y);
        std::vector<Point> shown = ClippedTo(corners, disc);
        if (shown.size() >= 3) {
            SDL_Color colour = StyleOf(box).edge;
            colour.a = 90;
            FillPolygon(shown, colour);
        }
    }
    auto dot = [&](float x, float y, SDL_Color colour) {
        Point at = radar.Screen(x, y);
        if (std::hypot(at.x - centre.x, at.y - centre.y) < radius - 2)
            FillRect(static_cast<int>(at.x) - 1, static_cast<int>(at.y) - 1, 3, 3, colour);
    };
    for (const HostObject& object : frame.objects)
        dot(object.x, object.y, kObjectColour);
    for (const HostCarGenerator& generator : frame.carGenerators)
        dot(generator.x, generator.y, kGeneratorColour);
}

}  // namespace hostsim
