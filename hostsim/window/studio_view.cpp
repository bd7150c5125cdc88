// Drawing the studio window from its frame record: the world from above, the
// radar, the host's texts and screen effects, and the side panel.
#include "hostsim/window/studio_view.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "hostsim/window/city_view.h"
#include "hostsim/window/shapes.h"
#include "hostsim/window/text_render.h"

namespace hostsim {

// --- Scale and colours ------------------------------------------------------------

// Below this a ped would vanish at a far zoom.
static const float kSmallestPersonRadius = 3.0f;
static const int kLetterboxHeight = 90;
static const int kRadarX = 100, kRadarY = kWindowHeight - 100, kRadarRadius = 80;
static const float kRadarRangeUnits = 100.0f;
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

static void DrawCar(const ViewCamera& camera, const FrameCar& car, std::vector<ViewLabel>* labels)
{
    Point centre = camera.Screen(car.x, car.y);
    DrawCarShape(centre, car.heading, camera.scale, CarColour(car.model));
    if (car.driven) {
        // The driver's head in the driver's seat.
        Point seat = Turned(0, -0.45f * camera.scale, car.heading);
        FillCircle(centre.x + seat.x, centre.y + seat.y, std::max(0.35f * camera.scale, 2.0f), kPedColour);
    }
    labels->push_back({ car.label, { centre.x, centre.y + kCarHalfLength * camera.scale + 4 }, kLabel });
}

// Draws a person and adds the square it covers to `covered`.
static void DrawPerson(const ViewCamera& camera, float x, float y, float heading, SDL_Color colour, float radius,
                       std::vector<SDL_Rect>* covered)
{
    Point centre = camera.Screen(x, y);
    float r = std::max(radius * camera.scale, kSmallestPersonRadius);
    const int reach = static_cast<int>(r * 1.9f) + 2;  // the heading's tip
    covered->push_back(
        { static_cast<int>(centre.x) - reach, static_cast<int>(centre.y) - reach, 2 * reach, 2 * reach });
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

static void DrawFixedCamera(const StudioFrame& frame)
{
    const ViewCamera& camera = frame.camera;
    Point eye = camera.Screen(frame.cameraEye.x, frame.cameraEye.y);
    if (frame.cameraLooks) {
        Point target = camera.Screen(frame.cameraTarget.x, frame.cameraTarget.y);
        float dx = target.x - eye.x, dy = target.y - eye.y;
        FillPolygon(
            { eye, { target.x - dy * 0.45f, target.y + dx * 0.45f }, { target.x + dy * 0.45f, target.y - dx * 0.45f } },
            { 255, 255, 255, 40 });
    }
    FillRect(static_cast<int>(eye.x) - 9, static_cast<int>(eye.y) - 6, 18, 12, { 230, 230, 230, 255 });
    DrawLabel("camera", eye.x, eye.y + 8);
}

static void DrawWorld(const StudioFrame& frame)
{
    const ViewCamera& camera = frame.camera;
    DrawGroundAndCity(frame);
    std::vector<ViewLabel> labels;
    std::vector<SDL_Rect> people;
    if (frame.startPointShown) {
        Point start = camera.Screen(frame.startPoint.x, frame.startPoint.y);
        DrawRing(start.x, start.y, 1.5f * camera.scale, { 110, 150, 230, 255 });
        // Beside the ring: the player and the peds made in front of it take
        // the space above and below.
        labels.push_back(
            { "start point", { start.x + 1.5f * camera.scale + 46, start.y - 9 }, { 170, 200, 255, 255 } });
    }
    for (const Point& marker : frame.markers) {
        Point p = camera.Screen(marker.x, marker.y);
        float bob = 4.0f * std::sin(frame.animationStep / 200.0f);
        DrawRing(p.x, p.y, 1.5f * camera.scale + bob, kMarkerBlue);
        DrawMarkerArrow(p.x, p.y - 8 + bob, 14, kMarkerBlue);
    }
    const FramePlayer& player = frame.player;
    if (player.shown) {
        Point at = camera.Screen(player.x, player.y);
        labels.push_back(
            { player.model.empty() ? "you" : "you (" + player.model + ")", { at.x, at.y + 16 }, kPlayerColour, true });
    }
    for (const FrameCar& car : frame.cars)
        DrawCar(camera, car, &labels);
    for (const FramePerson& ped : frame.peds) {
        DrawPerson(camera, ped.x, ped.y, ped.heading, kPedColour, 0.42f, &people);
        Point at = camera.Screen(ped.x, ped.y);
        // Above the ped, so that it clears the player's label below the player.
        labels.push_back({ ped.label, { at.x, at.y - 34 }, kLabel });
    }
    if (player.shown)
        DrawPerson(camera, player.x, player.y, player.heading, kPlayerColour, 0.5f, &people);
    DrawLabelsClear(labels, people);
    if (frame.cameraShown)
        DrawFixedCamera(frame);
}

// --- Weather, daylight, fades, cut-scenes ----------------------------------------------

static void DrawAtmosphere(const StudioFrame& frame)
{
    int hour = frame.clockMinutes / 60;
    int darkness = (hour >= 21 || hour < 5) ? 120 : (hour >= 19 || hour < 7) ? 60 : 0;
    if (darkness)
        FillRect(0, 0, kViewWidth, kWindowHeight, { 8, 12, 40, 255 }, darkness);
    switch (frame.weather) {
    case 1:
        FillRect(0, 0, kViewWidth, kWindowHeight, { 120, 120, 130, 255 }, 60);
        break;
    case 2:
    case 5:
        FillRect(0, 0, kViewWidth, kWindowHeight, { 70, 90, 120, 255 }, frame.weather == 5 ? 100 : 70);
        SetColour({ 180, 200, 230, 255 }, 150);
        for (int n = 0; n < (frame.weather == 5 ? 140 : 80); ++n) {
            float x = static_cast<float>((n * 97 + frame.animationStep / 4) % kViewWidth);
            float y = static_cast<float>((n * 53 + frame.animationStep / 2) % kWindowHeight);
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

static void DrawRadar(const StudioFrame& frame)
{
    const FramePlayer& player = frame.player;
    const ViewCamera radar = { player.x,
                               player.y,
                               kRadarRadius / kRadarRangeUnits,
                               { static_cast<float>(kRadarX), static_cast<float>(kRadarY) } };
    FillCircle(kRadarX, kRadarY, kRadarRadius + 3, { 10, 10, 10, 255 });
    FillCircle(kRadarX, kRadarY, kRadarRadius, { 40, 70, 50, 220 });
    DrawCityOnRadar(frame, radar, kRadarRadius);
    DrawRing(kRadarX, kRadarY, kRadarRadius * 0.5f, { 70, 100, 80, 255 });
    // Things out of range are left off, but markers stay on the rim, where
    // they point the way.
    auto onRadar = [&](float x, float y, bool clamp, Point* at) {
        Point offset = radar.Offset(x, y);
        float distance = std::sqrt(offset.x * offset.x + offset.y * offset.y);
        float limit = kRadarRadius - 8.0f;
        if (distance > limit) {
            if (!clamp)
                return false;
            offset.x *= limit / distance;
            offset.y *= limit / distance;
        }
        *at = { radar.centre.x + offset.x, radar.centre.y + offset.y };
        return true;
    };
    Point at;
    for (const FrameCar& car : frame.cars)
        if (onRadar(car.x, car.y, false, &at))
            FillRect(static_cast<int>(at.x) - 2, static_cast<int>(at.y) - 2, 5, 5, CarColour(car.model));
    for (const FramePerson& ped : frame.peds)
        if (onRadar(ped.x, ped.y, false, &at))
            FillCircle(at.x, at.y, 2.5f, kPedColour);
    for (const Point& marker : frame.markers)
        if (onRadar(marker.x, marker.y, true, &at))
            DrawMarkerArrow(at.x, at.y + 6, 6, kMarkerBlue);
    Point tip = Turned(9, 0, player.heading), left = Turned(-5, -6, player.heading),
          right = Turned(-5, 6, player.heading);
    FillPolygon({ { kRadarX + tip.x, kRadarY + tip.y },
                  { kRadarX + right.x, kRadarY + right.y },
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

static const char* WeatherName(int weather)
{
    return weather >= 0 && weather < kWeatherNameCount ? kWeatherNames[weather] : "?";
}

static void DrawHud(const StudioFrame& frame)
{
    char clock[32];
    snprintf(clock, sizeof clock, "%02d:%02d", frame.clockMinutes / 60, frame.clockMinutes % 60);
    int right = kViewWidth - 16;
    int y = frame.cutscene ? kLetterboxHeight + 8 : 12;
    int width = TextWidth(kFontHud, clock);
    DrawText(kFontHud, clock, { 0, 0, 0, 255 }, right - width + 2, y + 2);
    DrawText(kFontHud, clock, kWhite, right - width, y);
    const std::string& state = frame.clockState;
    std::string weather = std::string(WeatherName(frame.weather)) + (frame.weatherHeld ? " (held)" : "");
    DrawText(kFontPanel, state, state == "frozen" ? SDL_Color { 120, 190, 255, 255 } : kDim,
             right - TextWidth(kFontPanel, state), y + 28);
    DrawText(kFontPanel, weather, kWhite, right - TextWidth(kFontPanel, weather), y + 46);

    int badgeY = frame.cutscene ? kLetterboxHeight + 8 : 12;
    if (frame.cutscene) {
        DrawBadge("CUT-SCENE", 12, badgeY, { 255, 200, 90, 255 });
        badgeY += 26;
    }
    if (frame.fixedCamera) {
        DrawBadge("FIXED CAMERA", 12, badgeY, { 255, 200, 90, 255 });
        badgeY += 26;
    }
    if (frame.controlsLocked)
        DrawBadge("CONTROLS LOCKED", 12, badgeY, kDim);
}

static void DrawHostTexts(const StudioFrame& frame)
{
    if (!frame.title.text.empty()) {
        std::vector<TextLine> lines =
            LayOutHostText(kFontTitle, frame.title.text, frame.title.number, { 240, 240, 240, 255 }, kViewWidth - 80);
        DrawCentredLines(kFontTitle, lines, kViewWidth / 2, kWindowHeight / 2 - 150);
    }
    if (!frame.subtitle.text.empty()) {
        // Out of cut-scenes the radar takes the bottom left corner.
        const int shift = frame.cutscene ? 0 : 110;
        std::vector<TextLine> lines = LayOutHostText(kFontSubtitle, frame.subtitle.text, frame.subtitle.number,
                                                     { 235, 235, 235, 255 }, kViewWidth - 140 - 2 * shift);
        int bottom = frame.cutscene ? kWindowHeight - kLetterboxHeight - 12 : kWindowHeight - 40;
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

static void DrawPanel(const StudioFrame& frame)
{
    FillRect(kViewWidth, 0, kWindowWidth - kViewWidth, kWindowHeight, kPanelBack);
    int y = 10;
    DrawText(kFontHud, "Brindle Studios", kPanelHeading, kPanelLeft, y);
    y += 32;
    char line[160];
    snprintf(line, sizeof line, "host time %02lld:%02lld   %lld commands",
             static_cast<long long>(frame.hostSeconds / 60), static_cast<long long>(frame.hostSeconds % 60),
             static_cast<long long>(frame.commandCount));
    y = PanelLine(line, y, kDim);
    const PanelStatus& status = frame.status;
    if (status.ended) {
        y = PanelLine("END OF TAKE: close the window", y, kPanelHeading);
    } else {
        y = PanelLine("\xE2\x97\x8F REC take (F2 saves):", y, kRecordRed);
        // The end of a long path is the part that names the take.
        y = PanelLine(status.takePath, y, kRecordRed, kElideStart);
    }
    y = PanelLine(status.notice, y, kDim);
    y += 6;

    const FramePlayer& player = frame.player;
    y = PanelHeading("PLAYER", y);
    snprintf(line, sizeof line, "x %.2f  y %.2f  z %.2f  heading %.0f\xC2\xB0", player.x, player.y, player.z,
             player.heading);
    y = PanelLine(line, y);
    y = PanelLine("model " + (player.model.empty() ? std::string("(the game's own)") : player.model) +
                      (frame.controlsLocked ? "   controls locked" : ""),
                  y);
    y += 6;

    y = PanelHeading("CLOCK AND WEATHER", y);
    snprintf(line, sizeof line, "%02d:%02d %s    %s%s", frame.clockMinutes / 60, frame.clockMinutes % 60,
             frame.clockState.c_str(), WeatherName(frame.weather), frame.weatherHeld ? " (held)" : "");
    y = PanelLine(line, y);
    snprintf(line, sizeof line, "%zu peds   %zu cars   %s%s", frame.pedCount, frame.carCount,
             frame.cutscene ? "cut-scene  " : "", frame.fixedCamera ? "fixed camera" : "");
    y = PanelLine(line, y);
    y += 6;

    y = PanelHeading("KEYS HELD", y);
    y = PanelLine(frame.keysHeld.empty() ? "(none)" : frame.keysHeld, y, frame.keysHeld.empty() ? kDim : kWhite);
    y += 6;

    y = PanelHeading("LAST COMMANDS  (script, id, name, arguments; no waits)", y);
    for (const ListedCommand& command : frame.commands) {
        std::string text = command.line;
        if (command.repeats > 1)
            text += "  x" + std::to_string(command.repeats);
        DrawText(kFontMono, ElideText(kFontMono, text, kPanelTextWidth), { 200, 210, 200, 255 }, kPanelLeft, y);
        y += LineHeight(kFontMono);
    }
    PanelLine("Arrows walk, turn   Wheel, + and - zoom", kWindowHeight - 44, kDim);
    PanelLine("F1 whole city   F2 save take   F3 snapshot", kWindowHeight - 24, kDim);
}

// --- The frame -----------------------------------------------------------------------

void DrawStudio(SDL_Renderer* target, const StudioFrame& frame)
{
    shapeRenderer = target;
    SDL_SetRenderDrawBlendMode(shapeRenderer, SDL_BLENDMODE_BLEND);
    SDL_Rect view = { 0, 0, kViewWidth, kWindowHeight };
    SDL_RenderSetClipRect(shapeRenderer, &view);
    DrawWorld(frame);
    DrawAtmosphere(frame);
    if (!frame.cutscene)
        DrawRadar(frame);
    DrawHud(frame);
    if (frame.fadeAlpha > 0)
        FillRect(0, 0, kViewWidth, kWindowHeight, { 0, 0, 0, 255 }, frame.fadeAlpha);
    if (frame.cutscene) {
        FillRect(0, 0, kViewWidth, kLetterboxHeight, { 0, 0, 0, 255 });
        FillRect(0, kWindowHeight - kLetterboxHeight, kViewWidth, kLetterboxHeight, { 0, 0, 0, 255 });
    }
    DrawHostTexts(frame);
    SDL_RenderSetClipRect(shapeRenderer, nullptr);
    DrawPanel(frame);
    EndTextFrame();
}

}  // namespace hostsim
