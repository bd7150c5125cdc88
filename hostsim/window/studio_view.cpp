// Drawing the studio window: the world from above, the radar, the host's
// texts and screen effects, and the side panel.
#include "hostsim/window/studio_view.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "hostsim/key_labels.h"
#include "hostsim/window/city_view.h"
#include "hostsim/window/shapes.h"
#include "hostsim/window/text_render.h"

// --- Scale and colours ------------------------------------------------------------

// Below this a ped would vanish at a far zoom.
static const float kSmallestPersonRadius = 3.0f;
static const int kLetterboxHeight = 90;
static const int kRadarX = 100, kRadarY = kWindowHeight - 100, kRadarRadius = 80;
static const float kRadarRangeUnits = 100.0f;
static const size_t kListedCommands = 22;
static const int kPanelLeft = kViewWidth + 16;
static const int kPanelTextWidth = kWindowWidth - kPanelLeft - 12;

static const SDL_Color kWhite = { 235, 235, 235, 255 };
static const SDL_Color kDim = { 150, 160, 170, 255 };
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

// The bobbing marker and the rain move in steps of this, so that the window
// redraws ten times a second for them, not every frame.
static const int64_t kAnimationStepMs = 100;

static int64_t AnimationTime(int64_t now)
{
    return now / kAnimationStepMs * kAnimationStepMs;
}

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
    // A wait changes only the command count, which the panel's clock
    // redraws once a second; the script threads wait every frame.
    if (!(record.kind == "cmd" && record.id == 0x0001))
        ++feed.changes;
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

// --- The world from above -----------------------------------------------------------

// Labels are laid out after the shapes: each moves up until it clears the
// player and the peds and the labels placed before it, so that peds made
// side by side stay readable and in sight.
struct ViewLabel {
    std::string text;
    Point at;  // centre of its top edge
    SDL_Color colour;
    bool movesDown = false;  // the player's, which stands under the player
};

static void DrawLabelsClear(const std::vector<ViewLabel>& labels, std::vector<SDL_Rect> taken)
{
    for (const ViewLabel& label : labels) {
        const int width = TextWidth(kFontPanel, label.text) + 6, height = LineHeight(kFontPanel);
        SDL_Rect rect = { static_cast<int>(label.at.x) - width / 2, static_cast<int>(label.at.y), width, height };
        for (size_t n = 0; n < taken.size(); ++n) {
            if (SDL_HasIntersection(&rect, &taken[n])) {
                rect.y = label.movesDown ? taken[n].y + taken[n].h + 1 : taken[n].y - height - 1;
                n = static_cast<size_t>(-1);  // look through all of them again from the new place
            }
        }
        taken.push_back(rect);
        DrawLabel(label.text, label.at.x, static_cast<float>(rect.y), label.colour);
    }
}

// "BURGER" or "ped 25", then the last direction it was given.
static std::string Described(const std::string& what, const std::string& doing)
{
    return doing.empty() ? what : what + ": " + doing;
}

static std::string PedName(const HostPed& ped)
{
    return ped.name.empty() ? "ped " + std::to_string(ped.model) : ped.name;
}

static void DrawCar(const HostWorld& world, const ViewCamera& camera, const HostCar& car, std::vector<ViewLabel>* labels)
{
    Point centre = camera.Screen(car.x, car.y);
    DrawCarShape(centre, car.heading, camera.scale, CarColour(car.model));
    std::string what = "car " + std::to_string(car.model);
    auto driver = world.peds.find(car.driver);
    if (driver != world.peds.end()) {
        // The driver's head in the driver's seat.
        Point seat = Turned(0, -0.45f * camera.scale, car.heading);
        FillCircle(centre.x + seat.x, centre.y + seat.y, std::max(0.35f * camera.scale, 2.0f), kPedColour);
        what += ", " + PedName(driver->second) + " driving";
    }
    labels->push_back({ Described(what, car.doing), { centre.x, centre.y + kCarHalfLength * camera.scale + 4 }, kLabel });
}

// Draws a person and adds the square it covers to `covered`.
static void DrawPerson(const ViewCamera& camera, float x, float y, float heading, SDL_Color colour, float radius,
                       std::vector<SDL_Rect>* covered)
{
    Point centre = camera.Screen(x, y);
    float r = std::max(radius * camera.scale, kSmallestPersonRadius);
    const int reach = static_cast<int>(r * 1.9f) + 2;  // the heading's tip
    covered->push_back({ static_cast<int>(centre.x) - reach, static_cast<int>(centre.y) - reach, 2 * reach, 2 * reach });
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

static void DrawMarkerArrow(float x, float y, float size, SDL_Color colour)
{
    FillPolygon({ { x - size, y - size * 1.6f }, { x + size, y - size * 1.6f }, { x, y } }, colour);
}

static void DrawWorld(const HostWorld& world, const ViewCamera& camera, const ViewFeed& feed, int64_t now)
{
    DrawGroundAndCity(world, camera);
    std::vector<ViewLabel> labels;
    std::vector<SDL_Rect> people;
    if (feed.startPointKnown) {
        Point start = camera.Screen(feed.startX, feed.startY);
        DrawRing(start.x, start.y, 1.5f * camera.scale, { 110, 150, 230, 255 });
        // Beside the ring: the player and the peds made in front of it take
        // the space above and below.
        labels.push_back({ "start point", { start.x + 1.5f * camera.scale + 46, start.y - 9 }, { 170, 200, 255, 255 } });
    }
    for (const auto& marker : world.markers) {
        const std::vector<float>& at = marker.second;
        if (at[0] == 0 && at[1] == 0 && at[2] == 0)
            continue;  // a marker on a thing; the host does not say where
        Point p = camera.Screen(at[0], at[1]);
        float bob = 4.0f * std::sin(AnimationTime(now) / 200.0f);
        DrawRing(p.x, p.y, 1.5f * camera.scale + bob, kMarkerBlue);
        DrawMarkerArrow(p.x, p.y - 8 + bob, 14, kMarkerBlue);
    }
    if (world.player.exists) {
        const HostPlayer& p = world.player;
        Point at = camera.Screen(p.x, p.y);
        labels.push_back({ p.model.empty() ? "you" : "you (" + p.model + ")", { at.x, at.y + 16 }, kPlayerColour, true });
    }
    for (const auto& car : world.cars)
        DrawCar(world, camera, car.second, &labels);
    for (const auto& ped : world.peds) {
        const HostPed& p = ped.second;
        if (p.inCar)
            continue;  // shown as its car's driver
        DrawPerson(camera, p.x, p.y, p.heading, kPedColour, 0.42f, &people);
        Point at = camera.Screen(p.x, p.y);
        // Above the ped, so that it clears the player's label below the player.
        labels.push_back({ Described(PedName(p), p.doing), { at.x, at.y - 34 }, kLabel });
    }
    if (world.player.exists) {
        const HostPlayer& p = world.player;
        DrawPerson(camera, p.x, p.y, p.heading, kPlayerColour, 0.5f, &people);
    }
    DrawLabelsClear(labels, people);
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
            float x = static_cast<float>((n * 97 + AnimationTime(now) / 4) % kViewWidth);
            float y = static_cast<float>((n * 53 + AnimationTime(now) / 2) % kWindowHeight);
            SDL_RenderDrawLineF(shapeRenderer, x, y, x - 4, y + 12);
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
    DrawCityOnRadar(world, { static_cast<float>(kRadarX), static_cast<float>(kRadarY) }, kRadarRadius, scale);
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
        if (!ped.second.inCar && onRadar(ped.second.x, ped.second.y, false, &at))
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
    DrawText(kFontPanel, ElideText(kFontPanel, text, kPanelTextWidth), kPanelHeading, kPanelLeft, y);
    return y + LineHeight(kFontPanel) + 2;
}

static int PanelLine(const std::string& text, int y, SDL_Color colour = kWhite, ElideFrom from = kElideEnd)
{
    DrawText(kFontPanel, ElideText(kFontPanel, text, kPanelTextWidth, from), colour, kPanelLeft, y);
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
    DrawText(kFontHud, "Brindle Studios", kPanelHeading, kPanelLeft, y);
    y += 32;
    char line[160];
    // Whole seconds: finer would redraw the panel every frame.
    snprintf(line, sizeof line, "host time %02lld:%02lld   %lld commands", static_cast<long long>(now / 60000),
             static_cast<long long>(now / 1000 % 60), static_cast<long long>(feed.commandCount));
    y = PanelLine(line, y, kDim);
    if (status.ended) {
        y = PanelLine("END OF TAKE: close the window", y, kPanelHeading);
    } else {
        y = PanelLine("\xE2\x97\x8F REC take (F2 saves):", y, kRecordRed);
        // The end of a long path is the part that names the take.
        y = PanelLine(status.takePath, y, kRecordRed, kElideStart);
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
        DrawText(kFontMono, ElideText(kFontMono, text, kPanelTextWidth), { 200, 210, 200, 255 }, kPanelLeft, y);
        y += LineHeight(kFontMono);
    }
    PanelLine("Arrows walk, turn   Wheel, + and - zoom", kWindowHeight - 44, kDim);
    PanelLine("F1 whole city   F2 save take   F3 snapshot", kWindowHeight - 24, kDim);
}

// --- Whether the picture changed ------------------------------------------------------

// FNV-1a over the values that the frame draws.
struct Signature {
    uint64_t hash = 14695981039346656037ull;
    template <typename Value> void Add(const Value& value)
    {
        const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&value);
        for (size_t n = 0; n < sizeof value; ++n)
            hash = (hash ^ bytes[n]) * 1099511628211ull;
    }
    void Add(const std::string& text)
    {
        for (char c : text)
            Add(c);
        Add(text.size());
    }
};

uint64_t PictureSignature(const HostWorld& world, int64_t now, const ViewFeed& feed, const PanelStatus& status,
                          const ViewZoom& zoom)
{
    Signature picture;
    const HostPlayer& player = world.player;
    for (float value : { player.x, player.y, player.heading, zoom.scale })
        picture.Add(value);
    picture.Add(player.model);
    for (const auto& ped : world.peds) {
        for (float value : { ped.second.x, ped.second.y, ped.second.heading, static_cast<float>(ped.second.model),
                             static_cast<float>(ped.second.inCar) })
            picture.Add(value);
        picture.Add(ped.second.name);
        picture.Add(ped.second.doing);
    }
    for (const auto& car : world.cars) {
        for (float value : { car.second.x, car.second.y, car.second.heading, static_cast<float>(car.second.model),
                             static_cast<float>(car.second.driver) })
            picture.Add(value);
        picture.Add(car.second.doing);
    }
    for (size_t count : { world.boxes.size(), world.objects.size(), world.carGenerators.size() })
        picture.Add(count);
    bool markerShown = false;
    for (const auto& marker : world.markers) {
        for (float value : marker.second)
            picture.Add(value);
        markerShown = markerShown || marker.second[0] != 0 || marker.second[1] != 0 || marker.second[2] != 0;
    }
    const bool raining = world.weather == 2 || world.weather == 5;
    for (int value : { world.weather, static_cast<int>(world.weatherHeld), static_cast<int>(world.cutscene),
                       static_cast<int>(world.fixedCamera), static_cast<int>(world.controlsLocked),
                       static_cast<int>(world.specialModels.size()), static_cast<int>(zoom.fitCity),
                       static_cast<int>(status.ended), ClockMinutes(world, feed, now),
                       static_cast<int>(FadeBlack(world, now) * 255), static_cast<int>(now < feed.title.until),
                       static_cast<int>(now < feed.subtitle.until) })
        picture.Add(value);
    picture.Add(std::string(ClockState(world, feed, now)));
    for (int64_t value : { feed.changes, now / 1000, markerShown || raining ? AnimationTime(now) : 0 })
        picture.Add(value);
    picture.Add(status.takePath);
    picture.Add(status.notice);
    picture.Add(KeysHeld());
    return picture.hash;
}

// --- The frame -----------------------------------------------------------------------

// The zoom steps by a quarter, from most of the city to a ped filling the view.
static const float kZoomStep = 1.25f;
static const float kNearestScale = 60.0f, kFarthestScale = 0.2f;

void ZoomView(ViewZoom& zoom, int steps)
{
    zoom.fitCity = false;
    zoom.scale = std::clamp(zoom.scale * std::pow(kZoomStep, static_cast<float>(steps)), kFarthestScale, kNearestScale);
}

void DrawStudio(SDL_Renderer* target, const HostWorld& world, int64_t now, const ViewFeed& feed,
                const PanelStatus& status, const ViewZoom& zoom)
{
    shapeRenderer = target;
    SDL_SetRenderDrawBlendMode(shapeRenderer, SDL_BLENDMODE_BLEND);
    ViewCamera camera = { world.player.x, world.player.y, zoom.scale };
    if (zoom.fitCity) {
        CityCamera(world, &camera);
    } else if (world.fixedCamera && feed.cameraKnown) {
        camera.x = feed.cameraTargetKnown ? (feed.cameraX + feed.cameraTargetX) / 2 : feed.cameraX;
        camera.y = feed.cameraTargetKnown ? (feed.cameraY + feed.cameraTargetY) / 2 : feed.cameraY;
    }
    SDL_Rect view = { 0, 0, kViewWidth, kWindowHeight };
    SDL_RenderSetClipRect(shapeRenderer, &view);
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
    SDL_RenderSetClipRect(shapeRenderer, nullptr);
    DrawPanel(world, now, feed, status, minutes);
}
