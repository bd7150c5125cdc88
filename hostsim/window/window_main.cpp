// The studio window: the module in the native substitute host, run in real
// time and drawn as the game would show it. Key holds go straight into the
// key state the module polls, and the whole session is kept as a take.
//   studio_window [SCENARIO] [--trace FILE] [--take FILE]
// With a scenario, its events are played too and the run stops at its end.
// Exit status 0 when the run reported no error, 1 when it did, 2 for a bad
// command line and 3 when no window could be opened.
#include <SDL.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <cstdlib>
#include <utility>

#include "hostsim/direct/direct_binding.h"
#include "hostsim/window/city_view.h"
#include "hostsim/window/sdl_keys.h"
#include "hostsim/window/studio_view.h"
#include "hostsim/window/take.h"
#include "hostsim/window/text_render.h"

namespace hostsim {

// A live session has no end of its own: a year of host time.
static const int64_t kLiveEndMs = 365LL * 24 * 3600 * 1000;
// Behind the wall clock, frames are stepped without drawing until the host
// has caught up, so that keys held for a time are held that long in host
// time too; only after a longer stall does the host time slip instead.
static const int64_t kMostLagMs = 1000;
static const uint64_t kShortestRedrawMs = 40;
// The window's own keys; the module polls none of them.
static const int kFitCityScancode = SDL_SCANCODE_F1;
static const int kSaveTakeScancode = SDL_SCANCODE_F2;
static const int kSnapshotScancode = SDL_SCANCODE_F3;

// The window's whole state; touched by the host's thread, and by onRecord
// on the script thread that holds the turn while the host's thread waits.
struct StudioWindow {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    PanelCommands commands;
    PanelStatus status;
    ViewZoom zoom;
    Take take;
    FILE* trace = nullptr;
    uint64_t wallBase = 0;
    bool started = false;
    bool quit = false;
    bool held[256] = {};
    bool pictureShown = false;  // the window shows the picture of `shown`
    StudioFrame shown;
    StudioFrame next;             // built over each frame, kept for the room its buffers hold
    uint64_t pictureDrawnAt = 0;  // wall clock ms
};

static StudioWindow studio;

static void OnRecord(const TraceRecord& record)
{
    ListCommand(studio.commands, record);
    if (studio.trace)
        fprintf(studio.trace, "%s\n", TraceRecordJson(record).c_str());
}

static bool SaveTake(int64_t endMs)
{
    std::filesystem::path path(studio.status.takePath);
    if (path.has_parent_path())
        std::filesystem::create_directories(path.parent_path());
    std::ofstream file(path, std::ios::binary);
    file << TakeText(studio.take, endMs);
    file.close();
    studio.status.notice = file ? "take saved up to " + std::to_string(endMs) + " ms" : "cannot write the take";
    return static_cast<bool>(file);
}

// Where the snapshots of a take go: beside it, one "world" record a line.
static std::string SnapshotPath()
{
    std::filesystem::path path(studio.status.takePath);
    return path.replace_extension().string() + "-snapshots.jsonl";
}

// A snapshot before the frame at `now` runs, as "at NOW snapshot" in the
// take gives when it is replayed.
static void WriteSnapshot(int64_t now)
{
    const TraceRecord record = SnapshotRecord();
    AddTakeSnapshot(studio.take, now);
    const std::string path = SnapshotPath();
    FILE* file = fopen(path.c_str(), "ab");
    bool written = file && fprintf(file, "%s\n", TraceRecordJson(record).c_str()) > 0;
    if (file)
        written = fclose(file) == 0 && written;
    studio.status.notice = written ? "snapshot at " + std::to_string(now) + " ms: " + path : "cannot write " + path;
}

static void SetKey(int64_t now, int virtualKey, bool down)
{
    if (virtualKey <= 0 || virtualKey > 255 || studio.held[virtualKey] == down)
        return;
    studio.held[virtualKey] = down;
    SetHostKey(virtualKey, down);
    AddTakeKey(studio.take, now, virtualKey, down);
}

// The window's own keys, which the module never sees: true when the key is
// one of them. Zooming repeats while + or - is held.
static bool WindowKey(const SDL_KeyboardEvent& key, int64_t now, int64_t lastStepped)
{
    const bool pressed = key.type == SDL_KEYDOWN;
    switch (key.keysym.scancode) {
    case kSaveTakeScancode:
        if (pressed && !key.repeat && !studio.status.ended)
            SaveTake(lastStepped);
        return true;
    case kSnapshotScancode:
        if (pressed && !key.repeat && !studio.status.ended)
            WriteSnapshot(now);
        return true;
    case kFitCityScancode:
        if (pressed && !key.repeat)
            studio.zoom.fitCity = !studio.zoom.fitCity;
        return true;
    case SDL_SCANCODE_EQUALS:
    case SDL_SCANCODE_KP_PLUS:
        if (pressed)
            ZoomView(studio.zoom, 1);
        return true;
    case SDL_SCANCODE_MINUS:
    case SDL_SCANCODE_KP_MINUS:
        if (pressed)
            ZoomView(studio.zoom, -1);
        return true;
    default:
        return false;
    }
}

// The frame at `now` is about to run: the keys pressed and released since
// the last frame are applied to it.
static void PollEvents(int64_t now, int64_t lastStepped)
{
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        switch (event.type) {
        case SDL_QUIT:
            studio.quit = true;
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            if (WindowKey(event.key, now, lastStepped))
                break;
            if (!event.key.repeat)
                SetKey(now, VirtualKeyOf(event.key.keysym.scancode), event.type == SDL_KEYDOWN);
            break;
        case SDL_MOUSEWHEEL:
            ZoomView(studio.zoom, event.wheel.y);
            break;
        case SDL_RENDER_TARGETS_RESET:
            ForgetCityPicture();
            studio.pictureShown = false;
            break;
        case SDL_WINDOWEVENT:
            // Keys released while the window is away would otherwise stay held.
            if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST)
                for (int key = 1; key < 256; ++key)
                    SetKey(now, key, false);
            // What was covered needs the picture again.
            if (event.window.event == SDL_WINDOWEVENT_EXPOSED)
                studio.pictureShown = false;
            break;
        }
    }
}

// Draws only when the picture changed: an idle studio then costs a redraw
// a second (the clocks), not one a frame. While things move, 25 pictures a
// second are enough; under a display without a graphics card each costs
// about 7 ms of CPU.
static void Draw(int64_t now)
{
    BuildStudioFrame(studio.next, CurrentHostWorld(), now, studio.zoom, studio.status, studio.commands, KeysHeldText());
    const uint64_t wall = SDL_GetTicks64();
    if (studio.pictureShown && (studio.next == studio.shown || wall - studio.pictureDrawnAt < kShortestRedrawMs))
        return;
    studio.pictureShown = true;
    std::swap(studio.next, studio.shown);
    studio.pictureDrawnAt = wall;
    // The view and the panel cover the whole window: no clearing first.
    DrawStudio(studio.renderer, studio.shown);
    SDL_RenderPresent(studio.renderer);
}

// Paces the host to the wall clock: one simulated ms a real ms.
static bool BeforeFrame(int64_t now)
{
    if (!studio.started) {
        studio.wallBase = SDL_GetTicks64();
        studio.started = true;
    }
    const int64_t due = static_cast<int64_t>(studio.wallBase) + now;
    const int64_t wall = static_cast<int64_t>(SDL_GetTicks64());
    if (due > wall)
        SDL_Delay(static_cast<uint32_t>(due - wall));
    else if (wall - due > kMostLagMs)
        studio.wallBase += static_cast<uint64_t>(wall - due);
    PollEvents(now, now - studio.take.played.frameMs);
    if (wall - due < studio.take.played.frameMs)
        Draw(now);
    return !studio.quit;
}

static std::string DefaultTakePath()
{
    char stamp[32];
    std::time_t now = std::time(nullptr);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", std::localtime(&now));
    return std::string("takes/take-") + stamp + ".scn";
}

static int Usage()
{
    fprintf(stderr, "usage: studio_window [SCENARIO] [--trace FILE] [--take FILE]\n");
    return 2;
}

static bool ReadScenario(const char* path, Scenario* scenario)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        fprintf(stderr, "studio_window: cannot read %s\n", path);
        return false;
    }
    std::stringstream text;
    text << file.rdbuf();
    std::string error;
    if (!ParseScenario(text.str(), scenario, &error)) {
        fprintf(stderr, "studio_window: %s: %s\n", path, error.c_str());
        return false;
    }
    return true;
}

static bool OpenWindow()
{
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        fprintf(stderr, "studio_window: no display: %s\n", SDL_GetError());
        return false;
    }
    studio.window = SDL_CreateWindow("Brindle Studios - studio window", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                     kWindowWidth, kWindowHeight, 0);
    if (studio.window)
        studio.renderer = SDL_CreateRenderer(studio.window, -1, 0);
    if (studio.window && !studio.renderer)
        studio.renderer = SDL_CreateRenderer(studio.window, -1, SDL_RENDERER_SOFTWARE);
    if (!studio.renderer) {
        fprintf(stderr, "studio_window: cannot open a window: %s\n", SDL_GetError());
        return false;
    }
    if (!OpenFonts(studio.renderer)) {
        fprintf(stderr, "studio_window: no DejaVu fonts (Debian package fonts-dejavu-core)\n");
        return false;
    }
    return true;
}

}  // namespace hostsim

using namespace hostsim;

int main(int argc, char** argv)
{
    const char* scenarioPath = nullptr;
    const char* tracePath = nullptr;
    studio.status.takePath = DefaultTakePath();
    for (int n = 1; n < argc; ++n) {
        if (strcmp(argv[n], "--trace") == 0 && n + 1 < argc)
            tracePath = argv[++n];
        else if (strcmp(argv[n], "--take") == 0 && n + 1 < argc)
            studio.status.takePath = argv[++n];
        else if (!scenarioPath && argv[n][0] != '-')
            scenarioPath = argv[n];
        else
            return Usage();
    }
    Scenario& scenario = studio.take.played;
    if (scenarioPath && !ReadScenario(scenarioPath, &scenario))
        return 2;
    if (!scenarioPath)
        scenario.endMs = kLiveEndMs;
    if (tracePath && !(studio.trace = fopen(tracePath, "wb"))) {
        fprintf(stderr, "studio_window: cannot write %s\n", tracePath);
        return 2;
    }
    if (!OpenWindow())
        return 3;

    AttachDirectHost();
    // The window uses each record as it comes: a trace kept for a live
    // session would grow as long as the window stays open.
    RunResult result = RunHost(scenario, DirectBinding(), OnRecord, BeforeFrame, kNoTrace);
    const int64_t endedAt = CurrentHostTime();
    if (studio.trace)
        fclose(studio.trace);
    studio.status.ended = !studio.quit;
    SaveTake(endedAt);
    if (result.errors)
        fprintf(stderr, "studio_window: %d error(s) in the run\n", result.errors);
    // A played scenario's last picture stays until the window is closed.
    while (!studio.quit) {
        PollEvents(endedAt, endedAt);
        Draw(endedAt);
        SDL_Delay(50);
    }
    printf("take: %s\n", studio.status.takePath.c_str());
    fflush(stdout);
    // Script threads are still parked on their events; leave without
    // running static destructors under them.
    std::_Exit(result.errors ? 1 : 0);
}
