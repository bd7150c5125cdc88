// The studio window's frame record, built from the engine's state.
#include "hostsim/window/studio_frame.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "hostsim/commands/host_commands.h"
#include "hostsim/record/key_labels.h"

namespace hostsim {

static const size_t kListedCommands = 22;
// A clock set shows as "set" for this long, unless a freeze holds it.
static const int64_t kClockSetShownMs = 2000;
// The bobbing marker and the rain move in steps of this, so that the window
// redraws ten times a second for them, not every frame.
static const int64_t kAnimationStepMs = 100;
// The zoom steps by a quarter, from most of the city to a ped filling the view.
static const float kZoomStep = 1.25f;
static const float kNearestScale = 60.0f, kFarthestScale = 0.2f;
// Room left around the city when it is fitted to the view.
static const float kFitMargin = 0.92f;

void ZoomView(ViewZoom& zoom, int steps)
{
    zoom.fitCity = false;
    zoom.scale = std::clamp(zoom.scale * std::pow(kZoomStep, static_cast<float>(steps)), kFarthestScale, kNearestScale);
}

// --- The panel's last commands -------------------------------------------------------

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

static std::string CommandLine(const TraceRecord& record, const HostCommand& command)
{
    std::string line = "s" + std::to_string(record.script) + " " + CommandIdText(record.id);
    if (*command.name)
        line += std::string(" ") + command.name;
    for (const TraceArgument& argument : record.args)
        line += " " + ArgumentText(argument);
    if (!record.out.empty()) {
        line += " ->";
        for (int32_t value : record.out)
            line += " " + std::to_string(value);
    }
    return line;
}

void ListCommand(PanelCommands& commands, const TraceRecord& record)
{
    if (record.kind != kCommandRecord)
        return;
    if (record.t / 1000 != commands.lastSecond) {
        commands.lastSecond = record.t / 1000;
        commands.countBeforeLastSecond = commands.count;
    }
    ++commands.count;
    // The script threads wait every frame: a list of waits would show nothing else.
    const HostCommand* command = FindHostCommand(record.id);
    if (!command || command->kind == kWaitCommand)
        return;
    std::string line = CommandLine(record, *command);
    if (!commands.listed.empty() && commands.listed.back().line == line) {
        ++commands.listed.back().repeats;
        return;
    }
    commands.listed.push_back({ line, 1 });
    while (commands.listed.size() > kListedCommands)
        commands.listed.pop_front();
}

// --- What the view shows ---------------------------------------------------------------

// The camera that shows the whole city and the player; the one it is given
// while the boot has sent nothing of the city.
static void FitCity(const HostWorld& world, ViewCamera* camera)
{
    const HostArea& city = world.cityBounds;
    if (!(city.minX <= city.maxX))
        return;  // nothing laid out yet
    const float left = std::min(city.minX, world.player.x), right = std::max(city.maxX, world.player.x);
    const float bottom = std::min(city.minY, world.player.y), top = std::max(city.maxY, world.player.y);
    camera->x = (left + right) / 2;
    camera->y = (bottom + top) / 2;
    camera->scale =
        kFitMargin * std::min(kViewWidth / std::max(right - left, 1.0f), kWindowHeight / std::max(top - bottom, 1.0f));
}

static ViewCamera Camera(const HostWorld& world, const ViewZoom& zoom)
{
    ViewCamera camera = { world.player.x, world.player.y, zoom.scale };
    if (zoom.fitCity) {
        FitCity(world, &camera);
    } else if (world.fixedCamera) {
        camera.x = world.cameraLooks ? (world.cameraX + world.cameraLookX) / 2 : world.cameraX;
        camera.y = world.cameraLooks ? (world.cameraY + world.cameraLookY) / 2 : world.cameraY;
    }
    return camera;
}

// Where a marker is: its point, or the car or ped it follows (a ped in a car
// with its car); false when what it was on is gone.
static bool MarkerPlace(const HostWorld& world, const HostMarker& marker, Point* at)
{
    int32_t car = marker.thing;
    switch (marker.on) {
    case kMarkerAtPoint:
        *at = { marker.x, marker.y };
        return true;
    case kMarkerOnPed: {
        auto ped = world.peds.find(marker.thing);
        if (ped == world.peds.end())
            return false;
        if (!ped->second.inCar) {
            *at = { ped->second.x, ped->second.y };
            return true;
        }
        car = ped->second.car;
        break;
    }
    case kMarkerOnCar:
        break;
    }
    auto found = world.cars.find(car);
    if (found == world.cars.end())
        return false;
    *at = { found->second.x, found->second.y };
    return true;
}

// Labels and texts are written into the last frame's strings, whose room
// they mostly fit: the window builds a frame fifty times a second.

// "BURGER" or "ped 25".
static void AddPedName(std::string& label, const HostPed& ped)
{
    if (ped.name.empty())
        label += "ped " + std::to_string(ped.model);
    else
        label += ped.name;
}

// Then the last direction it was given.
static void AddDoing(std::string& label, const std::string& doing)
{
    if (!doing.empty())
        label += ": " + doing;
}

static void ShowCar(const HostWorld& world, const HostCar& car, FrameCar& shown)
{
    shown.x = car.x;
    shown.y = car.y;
    shown.heading = car.heading;
    shown.model = car.model;
    shown.label = "car " + std::to_string(car.model);
    auto driver = world.peds.find(car.driver);
    shown.driven = driver != world.peds.end();
    if (shown.driven) {
        shown.label += ", ";
        AddPedName(shown.label, driver->second);
        shown.label += " driving";
    }
    AddDoing(shown.label, car.doing);
}

static void ShowPed(const HostPed& ped, FramePerson& shown)
{
    shown.x = ped.x;
    shown.y = ped.y;
    shown.heading = ped.heading;
    shown.label.clear();
    AddPedName(shown.label, ped);
    AddDoing(shown.label, ped.doing);
}

static void ShowText(const HostShownText& text, int64_t now, FrameText& shown)
{
    const bool showing = now < text.until;
    shown.text = showing ? text.text : "";
    shown.number = showing ? text.number : 0;
}

static const char* ClockState(const HostWorld& world, int64_t now)
{
    if (world.weatherHeld)
        return "frozen";
    if (world.clockSetAt > 0 && now - world.clockSetAt < kClockSetShownMs)
        return "set";
    return "running";
}

// The black over the view, 0 to 255.
static int FadeAlpha(const HostWorld& world, int64_t now)
{
    float left = world.fadeDurationMs > 0 ? static_cast<float>(world.fadeEndsAt - now) / world.fadeDurationMs : 0;
    left = std::clamp(left, 0.0f, 1.0f);
    return static_cast<int>((world.fadeDirection == 0 ? 1.0f - left : left) * 255);
}

std::string KeysHeldText()
{
    std::string keys;
    for (int key = 1; key < 256; ++key)
        if (EngineKeyState(key) & 0x8000)
            keys += (keys.empty() ? "" : " + ") + KeyLabel(key);
    return keys;
}

void BuildStudioFrame(StudioFrame& frame, const HostWorld& world, int64_t now, const ViewZoom& zoom,
                      const PanelStatus& status, const PanelCommands& commands, const std::string& keysHeld)
{
    frame.camera = Camera(world, zoom);
    frame.boxes = world.boxes;
    frame.objects = world.objects;
    frame.carGenerators = world.carGenerators;
    const HostPlayer& player = world.player;
    frame.player.shown = player.exists;
    frame.player.x = player.x;
    frame.player.y = player.y;
    frame.player.z = player.z;
    frame.player.heading = player.heading;
    frame.player.model = player.model;
    frame.cars.resize(world.cars.size());
    size_t shown = 0;
    for (const auto& car : world.cars)
        ShowCar(world, car.second, frame.cars[shown++]);
    shown = 0;
    for (const auto& ped : world.peds)
        shown += !ped.second.inCar;  // one in a car is shown as its car's driver
    frame.peds.resize(shown);
    shown = 0;
    for (const auto& ped : world.peds)
        if (!ped.second.inCar)
            ShowPed(ped.second, frame.peds[shown++]);
    frame.markers.clear();
    for (const auto& marker : world.markers) {
        Point at;
        if (MarkerPlace(world, marker.second, &at))
            frame.markers.push_back(at);
    }
    frame.startPointShown = world.pointMarkerPlaced;
    frame.startPoint = { world.lastPointMarkerX, world.lastPointMarkerY };
    frame.cameraShown = world.fixedCamera;
    frame.cameraEye = { world.cameraX, world.cameraY };
    frame.cameraLooks = world.cameraLooks;
    frame.cameraTarget = { world.cameraLookX, world.cameraLookY };
    const bool raining = world.weather == 2 || world.weather == 5;
    frame.animationStep = !frame.markers.empty() || raining ? now / kAnimationStepMs * kAnimationStepMs : 0;

    // The freeze sends the clock again at every hold step: it shows as set.
    frame.clockMinutes = HostClockMinutes(world, world.weatherHeld ? world.clockSetAt : now);
    frame.clockState = ClockState(world, now);
    frame.weather = world.weather;
    frame.weatherHeld = world.weatherHeld;
    frame.cutscene = world.cutscene;
    frame.fixedCamera = world.fixedCamera;
    frame.controlsLocked = world.controlsLocked;
    frame.fadeAlpha = FadeAlpha(world, now);
    ShowText(world.title, now, frame.title);
    ShowText(world.subtitle, now, frame.subtitle);

    frame.hostSeconds = now / 1000;
    frame.commandCount = frame.hostSeconds == commands.lastSecond ? commands.countBeforeLastSecond : commands.count;
    frame.status = status;
    frame.pedCount = world.peds.size();
    frame.carCount = world.cars.size();
    frame.keysHeld = keysHeld;
    frame.commands = commands.listed;
}

}  // namespace hostsim
