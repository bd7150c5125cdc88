// Drawing the studio window: the world from above, the radar, the host's
// texts and screen effects, and the side panel.
#include "hostsim/window/studio_view.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "hostsim/key_labels.h"
#include "hostsim/window/text_render.h"

// --- Scale and colours ------------------------------------------------------------

static const float kPixelsPerUnit = 22.0f;
static const int kViewCentreX = kViewWidth / 2;
static const int kViewCentreY = kWindowHeight / 2;
static const int kLetterboxHeight = 90;
static const int kRadarX = 100, kRadarY = kWindowHeight - 100, kRadarRadius = 80;
static const float kRadarRangeUnits = 60.0f;
static const size_t kListedCommands = 26;

static const SDL_Color kGround = { 52, 66, 58, 255 };
static const SDL_Color kGridLine = { 64, 80, 71, 255 };
static const SDL_Color kGridMajor = { 78, 96, 86, 255 };
static const SDL_Color kWhite = { 235, 235, 235, 255 };
static const SDL_Color kDim = { 150, 160, 170, 255 };
static const SDL_Color kLabel = { 250, 250, 250, 255 };
static const SDL_Color kPlayerColour = { 255, 208, 64, 255 };
static const SDL_Color kPedColour = { 236, 120, 72, 255 };
static const SDL_Color kMarkerBlue = { 64, 132, 255, 255 };
static const SDL_Color kPanelBack = { 24, 27, 33, 255 };
static const SDL_Color kPanelHeading = { 255, 208, 64, 255 };
static const SDL_Color kRecordRed = { 230, 60, 60, 255 };

// The host's six weathers, by number.
static const char* const kWeatherNames[] = { "SUNNY", "CLOUDY", "RAINY", "FOGGY", "EXTRA SUNNY", "RAINY 2" };
static const int kWeatherNameCount = sizeof kWeatherNames / sizeof kWeatherNames[0];
static_assert(sizeof kWeatherNames / sizeof kWeatherNames[0] == 6, "six host weathers");

// The host's clock runs one game minute a second.
static const int64_t kMsPerGameMinute = 1000;
// A clock set shows as "set" for this long, unless a freeze holds it.
static const int64_t kClockSetShownMs = 2000;

// --- The trace feed -----------------------------------------------------------------

static std::string ArgumentText(const TraceArgument& argument)
{
    char text[64];
    switch (argument.kind) {
    case 'i':
        return std::to_string(argument.i);
    case 'f':
        snprintf(text, sizeof text, "%.2f", argument.f);
        return text;
    case 's':
        return "\"" + argument.s + "\"";
    case 'v':
        return "@" + std::to_string(argument.slot);
    default:
        return "-";
    }
}

static std::string CommandLine(const TraceRecord& record)
{
    char id[8];
    snprintf(id, sizeof id, "%04X", record.id);
    std::string line = id;
    for (const TraceArgument& argument : record.args)
        line += " " + ArgumentText(argument);
    if (!record.out.empty()) {
        line += " ->";
        for (int32_t value : record.out)
            line += " " + std::to_string(value);
    }
    return line;
}

void FeedView(ViewFeed& feed, const TraceRecord& record)
{
    if (record.kind == "text") {
        ShownText& slot = record.style == 2 ? feed.title : feed.subtitle;
        slot.text = record.text;
        slot.number = record.number;
        slot.until = record.t + record.ms;
        return;
    }
    if (record.kind != "cmd")
        return;
    ++feed.commandCount;
    const std::vector<TraceArgument>& args = record.args;
    switch (record.id) {
    case 0x015F:  // fixed camera at a point
        feed.cameraKnown = true;
        feed.cameraTargetKnown = false;
        feed.cameraX = args[0].f;
        feed.cameraY = args[1].f;
        break;
    case 0x0160:  // the fixed camera looks at a point
        feed.cameraTargetKnown = true;
        feed.cameraTargetX = args[0].f;
        feed.cameraTargetY = args[1].f;
        break;
    case 0x00C0:
        feed.clockSetAt = record.t;
        feed.clockSetHour = args[0].i;
        feed.clockSetMinute = args[1].i;
        break;
    case 0x02A7:
        feed.startPointKnown = true;
        feed.startX = args[0].f;
        feed.startY = args[1].f;
        break;
    }
    if (record.id == 0x0001)
        return;
    std::string line = "s" + std::to_string(record.script) + " " + CommandLine(record);
    if (!feed.commands.empty() && feed.commands.back().line == line) {
        ++feed.commands.back().repeats;
        return;
    }
    feed.commands.push_back({ line, 1 });
    while (feed.commands.size() > kListedCommands)
        feed.commands.pop_front();
}

// --- Shapes ----------------------------------------------------------------------

static SDL_Renderer* renderer = nullptr;

static void SetColour(SDL_Color colour, int alpha = -1)
{
    SDL_SetRenderDrawColor(renderer, colour.r, colour.g, colour.b, alpha < 0 ? colour.a : alpha);
}

struct Point {
    float x, y;
};

// A convex polygon as a triangle fan.
static void FillPolygon(const std::vector<Point>& points, SDL_Color colour)
{
    std::vector<SDL_Vertex> vertices;
    for (size_t n = 1; n + 1 < points.size(); ++n) {
        for (const Point& p : { points[0], points[n], points[n + 1] })
            vertices.push_back({ { p.x, p.y }, colour, { 0, 0 } });
    }
    SDL_RenderGeometry(renderer, nullptr, vertices.data(), static_cast<int>(vertices.size()), nullptr, 0);
}

static std::vector<Point> Circle(float x, float y, float radius, int segments = 24)
{
    std::vector<Point> points;
    for (int n = 0; n < segments; ++n) {
        float angle = 2.0f * 3.14159265f * n / segments;
        points.push_back({ x + radius * std::cos(angle), y + radius * std::sin(angle) });
    }
    return points;
}

static void FillCircle(float x, float y, float radius, SDL_Color colour)
{
    FillPolygon(Circle(x, y, radius), colour);
}

static void DrawRing(float x, float y, float radius, SDL_Color colour)
{
    std::vector<Point> points = Circle(x, y, radius, 40);
    SetColour(colour);
    for (size_t n = 0; n < points.size(); ++n) {
        const Point& a = points[n];
        const Point& b = points[(n + 1) % points.size()];
        SDL_RenderDrawLineF(renderer, a.x, a.y, b.x, b.y);
    }
}

static void FillRect(int x, int y, int w, int h, SDL_Color colour, int alpha = -1)
{
    SDL_Rect rect = { x, y, w, h };
    SetColour(colour, alpha);
    SDL_RenderFillRect(renderer, &rect);
}

// A point turned by a heading: heading 0 faces up the map (+y) and grows to
// the left, as the host's headings do.
static Point Turned(float forward, float right, float heading)
{
    float radians = heading * 3.14159265f / 180.0f;
    // On screen, +y of the map is up.
    float fx = -std::sin(radians), fy = -std::cos(radians);  // forward
    float rx = std::cos(radians), ry = -std::sin(radians);   // right
    return { forward * fx + right * rx, forward * fy + right * ry };
}

static void DrawLabel(const std::string& text, float x, float y, SDL_Color colour = kLabel)
{
    int width = TextWidth(kFontPanel, text);
    int left = static_cast<int>(x) - width / 2;
    int top = static_cast<int>(y);
    FillRect(left - 3, top, width + 6, LineHeight(kFontPanel), { 0, 0, 0, 255 }, 140);
    DrawText(kFontPanel, text, colour, left, top);
}

// --- The world from above -----------------------------------------------------------

struct ViewCamera {
    float x, y;
    Point Screen(float wx, float wy) const
    {
        return { kViewCentreX + (wx - x) * kPixelsPerUnit, kViewCentreY - (wy - y) * kPixelsPerUnit };
    }
};

static void DrawGround(const ViewCamera& camera)
{
    FillRect(0, 0, kViewWidth, kWindowHeight, kGround);
    const float halfWidth = kViewWidth / 2.0f / kPixelsPerUnit, halfHeight = kWindowHeight / 2.0f / kPixelsPerUnit;
    const int step = 5;
    for (int gx = static_cast<int>(std::floor((camera.x - halfWidth) / step)) * step; gx <= camera.x + halfWidth; gx += step) {
        SetColour(gx % 25 == 0 ? kGridMajor : kGridLine);
        float sx = camera.Screen(static_cast<float>(gx), 0).x;
        SDL_RenderDrawLineF(renderer, sx, 0, sx, kWindowHeight);
    }
    for (int gy = static_cast<int>(std::floor((camera.y - halfHeight) / step)) * step; gy <= camera.y + halfHeight; gy += step) {
        SetColour(gy % 25 == 0 ? kGridMajor : kGridLine);
        float sy = camera.Screen(0, static_cast<float>(gy)).y;
        SDL_RenderDrawLineF(renderer, 0, sy, kViewWidth, sy);
    }
}

static SDL_Color CarColour(int32_t model)
{
    static const SDL_Color kPaints[] = {
        { 196, 48, 48, 255 }, { 48, 104, 196, 255 }, { 220, 220, 220, 255 }, { 60, 150, 80, 255 },
        { 210, 170, 40, 255 }, { 120, 70, 160, 255 }, { 90, 90, 96, 255 }, { 200, 110, 40, 255 },
    };
    return kPaints[static_cast<uint32_t>(model) % (sizeof kPaints / sizeof kPaints[0])];
}

static void DrawCar(const ViewCamera& camera, const HostCar& car)
{
    Point centre = camera.Screen(car.x, car.y);
    const float halfLength = 2.3f * kPixelsPerUnit, halfWidth = 1.0f * kPixelsPerUnit;
    auto corner = [&](float forward, float right) {
        Point p = Turned(forward, right, car.heading);
        return Point{ centre.x + p.x, centre.y + p.y };
    };
    FillPolygon({ corner(halfLength, -halfWidth), corner(halfLength, halfWidth), corner(-halfLength, halfWidth),
                  corner(-halfLength, -halfWidth) },
                CarColour(car.model));
    // The windscreen shows which way the car faces.
    FillPolygon({ corner(halfLength * 0.55f, -halfWidth * 0.8f), corner(halfLength * 0.55f, halfWidth * 0.8f),
                  corner(halfLength * 0.2f, halfWidth * 0.8f), corner(halfLength * 0.2f, -halfWidth * 0.8f) },
                { 30, 40, 56, 255 });
    char text[64];
    snprintf(text, sizeof text, "car %d  %.0f\xC2\xB0", car.model, car.heading);
    DrawLabel(text, centre.x, centre.y + halfLength + 4);
}

static void DrawPerson(const ViewCamera& camera, float x, float y, float heading, SDL_Color colour, float radius)
{
    Point centre = camera.Screen(x, y);
    float r = radius * kPixelsPerUnit;
    FillCircle(centre.x, centre.y, r + 2, { 20, 20, 20, 255 });
    FillCircle(centre.x, centre.y, r, colour);
    Point tip = Turned(r * 1.9f, 0, heading);
    Point left = Turned(r * 0.5f, -r * 0.75f, heading);
    Point right = Turned(r * 0.5f, r * 0.75f, heading);
    FillPolygon({ { centre.x + tip.x, centre.y + tip.y },
                  { centre.x + right.x, centre.y + right.y },
                  { centre.x + left.x, centre.y + left.y } },
                colour);
}

static std::string PedName(const HostWorld& world, int32_t model)
{
    // Models 109 to 118 are the special-character slots 1 to 10.
    if (model >= 109 && model <= 118) {
        auto found = world.specialModels.find(model - 108);
        if (found != world.specialModels.end())
            return found->second;
    }
    return "ped " + std::to_string(model);
}

static void DrawMarkerArrow(float x, float y, float size, SDL_Color colour)
{
    FillPolygon({ { x - size, y - size * 1.6f }, { x + size, y - size * 1.6f }, { x, y } }, colour);
}

static void DrawWorld(const HostWorld& world, const ViewCamera& camera, const ViewFeed& feed, int64_t now)
{
    DrawGround(camera);
    if (feed.startPointKnown) {
        Point start = camera.Screen(feed.startX, feed.startY);
        DrawRing(start.x, start.y, 1.5f * kPixelsPerUnit, { 110, 150, 230, 255 });
        // Beside the ring: the player and the peds made in front of it take
        // the space above and below.
        DrawLabel("start point", start.x + 1.5f * kPixelsPerUnit + 46, start.y - 9, { 170, 200, 255, 255 });
    }
    for (const auto& marker : world.markers) {
        const std::vector<float>& at = marker.second;
        if (at[0] == 0 && at[1] == 0 && at[2] == 0)
            continue;  // a marker on a thing; the host does not say where
        Point p = camera.Screen(at[0], at[1]);
        float bob = 4.0f * std::sin(now / 200.0f);
        DrawRing(p.x, p.y, 1.5f * kPixelsPerUnit + bob, kMarkerBlue);
        DrawMarkerArrow(p.x, p.y - 8 + bob, 14, kMarkerBlue);
    }
    for (const auto& car : world.cars)
        DrawCar(camera, car.second);
    for (const auto& ped : world.peds) {
        const HostPed& p = ped.second;
        DrawPerson(camera, p.x, p.y, p.heading, kPedColour, 0.42f);
        Point at = camera.Screen(p.x, p.y);
        // Above the ped, so that it clears the player's label below the player.
        DrawLabel(PedName(world, p.model), at.x, at.y - 34);
    }
    if (world.player.exists) {
        const HostPlayer& p = world.player;
        DrawPerson(camera, p.x, p.y, p.heading, kPlayerColour, 0.5f);
        Point at = camera.Screen(p.x, p.y);
        DrawLabel(p.model.empty() ? "you" : "you (" + p.model + ")", at.x, at.y + 16, kPlayerColour);
    }
    if (world.fixedCamera && feed.cameraKnown) {
        Point eye = camera.Screen(feed.cameraX, feed.cameraY);
        if (feed.cameraTargetKnown) {
            Point target = camera.Screen(feed.cameraTargetX, feed.cameraTargetY);
            float dx = target.x - eye.x, dy = target.y - eye.y;
            FillPolygon({ eye, { target.x - dy * 0.45f, target.y + dx * 0.45f }, { target.x + dy * 0.45f, target.y - dx * 0.45f } },
                        { 255, 255, 255, 40 });
        }
        FillRect(static_cast<int>(eye.x) - 9, static_cast<int>(eye.y) - 6, 18, 12, { 230, 230, 230, 255 });
        DrawLabel("camera", eye.x, eye.y + 8);
    }
}

// --- Weather, daylight, fades, cut-scenes ----------------------------------------------

static int ClockMinutes(const HostWorld& world, const ViewFeed& feed, int64_t now)
{
    int64_t minutes = feed.clockSetHour * 60 + feed.clockSetMinute;
    if (!world.weatherHeld)
        minutes += (now - feed.clockSetAt) / kMsPerGameMinute;
    return static_cast<int>(minutes % (24 * 60));
}

static void DrawAtmosphere(const HostWorld& world, int minutes, int64_t now)
{
    int hour = minutes / 60;
    int darkness = (hour >= 21 || hour < 5) ? 120 : (hour >= 19 || hour < 7) ? 60 : 0;
    if (darkness)
        FillRect(0, 0, kViewWidth, kWindowHeight, { 8, 12, 40, 255 }, darkness);
    switch (world.weather) {
    case 1:
        FillRect(0, 0, kViewWidth, kWindowHeight, { 120, 120, 130, 255 }, 60);
        break;
    case 2:
    case 5:
        FillRect(0, 0, kViewWidth, kWindowHeight, { 70, 90, 120, 255 }, world.weather == 5 ? 100 : 70);
        SetColour({ 180, 200, 230, 255 }, 150);
        for (int n = 0; n < (world.weather == 5 ? 140 : 80); ++n) {
            float x = static_cast<float>((n * 97 + now / 4) % kViewWidth);
            float y = static_cast<float>((n * 53 + now / 2) % kWindowHeight);
            SDL_RenderDrawLineF(renderer, x, y, x - 4, y + 12);
        }
        break;
    case 3:
        FillRect(0, 0, kViewWidth, kWindowHeight, { 210, 214, 220, 255 }, 130);
        break;
    case 4:
        FillRect(0, 0, kViewWidth, kWindowHeight, { 255, 220, 120, 255 }, 40);
        break;
    }
}

// The share of black on the screen, 0 to 1.
static float FadeBlack(const HostWorld& world, int64_t now)
{
    float left = world.fadeDurationMs > 0 ? static_cast<float>(world.fadeEndsAt - now) / world.fadeDurationMs : 0;
    if (left < 0)
        left = 0;
    if (left > 1)
        left = 1;
    return world.fadeDirection == 0 ? 1.0f - left : left;
}

static void DrawRadar(const HostWorld& world)
{
    const float scale = kRadarRadius / kRadarRangeUnits;
    FillCircle(kRadarX, kRadarY, kRadarRadius + 3, { 10, 10, 10, 255 });
    FillCircle(kRadarX, kRadarY, kRadarRadius, { 40, 70, 50, 220 });
    DrawRing(kRadarX, kRadarY, kRadarRadius * 0.5f, { 70, 100, 80, 255 });
    const HostPlayer& player = world.player;
    auto onRadar = [&](float x, float y, bool clamp, Point* at) {
        float dx = (x - player.x) * scale, dy = -(y - player.y) * scale;
        float distance = std::sqrt(dx * dx + dy * dy);
        float limit = kRadarRadius - 8.0f;
        if (distance > limit) {
            if (!clamp)
                return false;
            dx *= limit / distance;
            dy *= limit / distance;
        }
        *at = { kRadarX + dx, kRadarY + dy };
        return true;
    };
    Point at;
    for (const auto& car : world.cars)
        if (onRadar(car.second.x, car.second.y, false, &at))
            FillRect(static_cast<int>(at.x) - 2, static_cast<int>(at.y) - 2, 5, 5, CarColour(car.second.model));
    for (const auto& ped : world.peds)
        if (onRadar(ped.second.x, ped.second.y, false, &at))
            FillCircle(at.x, at.y, 2.5f, kPedColour);
    for (const auto& marker : world.markers) {
        const std::vector<float>& m = marker.second;
        if ((m[0] != 0 || m[1] != 0 || m[2] != 0) && onRadar(m[0], m[1], true, &at))
            DrawMarkerArrow(at.x, at.y + 6, 6, kMarkerBlue);
    }
    Point tip = Turned(9, 0, player.heading), left = Turned(-5, -6, player.heading), right = Turned(-5, 6, player.heading);
    FillPolygon({ { kRadarX + tip.x, kRadarY + tip.y }, { kRadarX + right.x, kRadarY + right.y },
                  { kRadarX + left.x, kRadarY + left.y } },
                kWhite);
    DrawText(kFontPanel, "N", kWhite, kRadarX - 5, kRadarY - kRadarRadius - 2);
}

static void DrawBadge(const std::string& text, int x, int y, SDL_Color colour)
{
    int width = TextWidth(kFontPanel, text);
    FillRect(x, y, width + 12, LineHeight(kFontPanel) + 4, { 0, 0, 0, 255 }, 170);
    DrawText(kFontPanel, text, colour, x + 6, y + 2);
}

static const char* ClockState(const HostWorld& world, const ViewFeed& feed, int64_t now)
{
    if (world.weatherHeld)
        return "frozen";
    if (feed.clockSetAt > 0 && now - feed.clockSetAt < kClockSetShownMs)
        return "set";
    return "running";
}

static const char* WeatherName(int weather)
{
    return weather >= 0 && weather < kWeatherNameCount ? kWeatherNames[weather] : "?";
}

static void DrawHud(const HostWorld& world, const ViewFeed& feed, int64_t now, int minutes)
{
    char clock[32];
    snprintf(clock, sizeof clock, "%02d:%02d", minutes / 60, minutes % 60);
    int right = kViewWidth - 16;
    int y = world.cutscene ? kLetterboxHeight + 8 : 12;
    int width = TextWidth(kFontHud, clock);
    DrawText(kFontHud, clock, { 0, 0, 0, 255 }, right - width + 2, y + 2);
    DrawText(kFontHud, clock, kWhite, right - width, y);
    std::string state = ClockState(world, feed, now);
    std::string weather = std::string(WeatherName(world.weather)) + (world.weatherHeld ? " (held)" : "");
    DrawText(kFontPanel, state, state == "frozen" ? SDL_Color{ 120, 190, 255, 255 } : kDim,
             right - TextWidth(kFontPanel, state), y + 28);
    DrawText(kFontPanel, weather, kWhite, right - TextWidth(kFontPanel, weather), y + 46);

    int badgeY = world.cutscene ? kLetterboxHeight + 8 : 12;
    if (world.cutscene) {
        DrawBadge("CUT-SCENE", 12, badgeY, { 255, 200, 90, 255 });
        badgeY += 26;
    }
    if (world.fixedCamera) {
        DrawBadge("FIXED CAMERA", 12, badgeY, { 255, 200, 90, 255 });
        badgeY += 26;
    }
    if (world.controlsLocked)
        DrawBadge("CONTROLS LOCKED", 12, badgeY, kDim);
}

static void DrawHostTexts(const HostWorld& world, const ViewFeed& feed, int64_t now)
{
    if (now < feed.title.until) {
        std::vector<TextLine> lines = LayOutHostText(kFontTitle, feed.title.text, feed.title.number,
                                                     { 240, 240, 240, 255 }, kViewWidth - 80);
        DrawCentredLines(kFontTitle, lines, kViewWidth / 2, kWindowHeight / 2 - 150);
    }
    if (now < feed.subtitle.until) {
        // Out of cut-scenes the radar takes the bottom left corner.
        const int shift = world.cutscene ? 0 : 110;
        std::vector<TextLine> lines = LayOutHostText(kFontSubtitle, feed.subtitle.text, feed.subtitle.number,
                                                     { 235, 235, 235, 255 }, kViewWidth - 140 - 2 * shift);
        int bottom = world.cutscene ? kWindowHeight - kLetterboxHeight - 12 : kWindowHeight - 40;
        int top = bottom - static_cast<int>(lines.size()) * LineHeight(kFontSubtitle);
        DrawCentredLines(kFontSubtitle, lines, kViewWidth / 2 + shift, top);
    }
}

// --- The side panel ---------------------------------------------------------------

static int PanelHeading(const char* text, int y)
{
    DrawText(kFontPanel, text, kPanelHeading, kViewWidth + 16, y);
    return y + LineHeight(kFontPanel) + 2;
}

static int PanelLine(const std::string& text, int y, SDL_Color colour = kWhite)
{
    DrawText(kFontPanel, text, colour, kViewWidth + 16, y);
    return y + LineHeight(kFontPanel);
}

static std::string KeysHeld()
{
    std::string keys;
    for (int key = 1; key < 256; ++key)
        if (EngineKeyState(key) & 0x8000)
            keys += (keys.empty() ? "" : " + ") + KeyLabel(key);
    return keys;
}

static void DrawPanel(const HostWorld& world, int64_t now, const ViewFeed& feed, const PanelStatus& status,
                      int minutes)
{
    FillRect(kViewWidth, 0, kWindowWidth - kViewWidth, kWindowHeight, kPanelBack);
    int y = 10;
    DrawText(kFontHud, "Brindle Studios", kPanelHeading, kViewWidth + 16, y);
    y += 32;
    char line[160];
    snprintf(line, sizeof line, "host time %02lld:%02lld.%03lld   %lld commands", static_cast<long long>(now / 60000),
             static_cast<long long>(now / 1000 % 60), static_cast<long long>(now % 1000),
             static_cast<long long>(feed.commandCount));
    y = PanelLine(line, y, kDim);
    if (status.ended) {
        y = PanelLine("END OF TAKE: close the window", y, kPanelHeading);
    } else {
        // The end of a long path is the part that names the take.
        std::string path = status.takePath;
        if (path.size() > 30)
            path = "\xE2\x80\xA6" + path.substr(path.size() - 29);
        y = PanelLine("\xE2\x97\x8F REC take (F2 saves): " + path, y, kRecordRed);
    }
    y = PanelLine(status.notice, y, kDim);
    y += 6;

    y = PanelHeading("PLAYER", y);
    snprintf(line, sizeof line, "x %.2f  y %.2f  z %.2f  heading %.0f\xC2\xB0", world.player.x, world.player.y,
             world.player.z, world.player.heading);
    y = PanelLine(line, y);
    y = PanelLine("model " + (world.player.model.empty() ? std::string("(the game's own)") : world.player.model) +
                      (world.controlsLocked ? "   controls locked" : ""),
                  y);
    y += 6;

    y = PanelHeading("CLOCK AND WEATHER", y);
    snprintf(line, sizeof line, "%02d:%02d %s    %s%s", minutes / 60, minutes % 60, ClockState(world, feed, now),
             WeatherName(world.weather), world.weatherHeld ? " (held)" : "");
    y = PanelLine(line, y);
    snprintf(line, sizeof line, "%zu peds   %zu cars   %s%s", world.peds.size(), world.cars.size(),
             world.cutscene ? "cut-scene  " : "", world.fixedCamera ? "fixed camera" : "");
    y = PanelLine(line, y);
    y += 6;

    y = PanelHeading("KEYS HELD", y);
    std::string keys = KeysHeld();
    y = PanelLine(keys.empty() ? "(none)" : keys, y, keys.empty() ? kDim : kWhite);
    y += 6;

    y = PanelHeading("LAST COMMANDS  (script, id, arguments; no waits)", y);
    for (const ListedCommand& command : feed.commands) {
        std::string text = command.line;
        if (command.repeats > 1)
            text += "  x" + std::to_string(command.repeats);
        if (text.size() > 48)
            text = text.substr(0, 47) + "\xE2\x80\xA6";
        DrawText(kFontMono, text, { 200, 210, 200, 255 }, kViewWidth + 16, y);
        y += LineHeight(kFontMono);
    }
    DrawText(kFontPanel, "Arrows walk and turn   F2 saves the take", kDim, kViewWidth + 16, kWindowHeight - 24);
}

// --- The frame -----------------------------------------------------------------------

void DrawStudio(SDL_Renderer* target, const HostWorld& world, int64_t now, const ViewFeed& feed,
                const PanelStatus& status)
{
    renderer = target;
    SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_BLEND);
    ViewCamera camera = { world.player.x, world.player.y };
    if (world.fixedCamera && feed.cameraKnown) {
        camera.x = feed.cameraTargetKnown ? (feed.cameraX + feed.cameraTargetX) / 2 : feed.cameraX;
        camera.y = feed.cameraTargetKnown ? (feed.cameraY + feed.cameraTargetY) / 2 : feed.cameraY;
    }
    SDL_Rect view = { 0, 0, kViewWidth, kWindowHeight };
    SDL_RenderSetClipRect(renderer, &view);
    DrawWorld(world, camera, feed, now);
    const int minutes = ClockMinutes(world, feed, now);
    DrawAtmosphere(world, minutes, now);
    if (!world.cutscene)
        DrawRadar(world);
    DrawHud(world, feed, now, minutes);
    float black = FadeBlack(world, now);
    if (black > 0)
        FillRect(0, 0, kViewWidth, kWindowHeight, { 0, 0, 0, 255 }, static_cast<int>(black * 255));
    if (world.cutscene) {
        FillRect(0, 0, kViewWidth, kLetterboxHeight, { 0, 0, 0, 255 });
        FillRect(0, kWindowHeight - kLetterboxHeight, kViewWidth, kLetterboxHeight, { 0, 0, 0, 255 });
    }
    DrawHostTexts(world, feed, now);
    SDL_RenderSetClipRect(renderer, nullptr);
    DrawPanel(world, now, feed, status, minutes);
}
