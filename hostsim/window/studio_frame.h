// One frame of the studio window as a plain record: everything the window
// draws, taken from the engine's state and from the window's own (the zoom,
// the take, the keys held, the panel's last commands). The window draws a
// frame only when its record differs from the last one drawn, and draws from
// the record alone, so what is drawn and what is compared cannot disagree.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "hostsim/engine/engine.h"
#include "hostsim/record/trace.h"
#include "hostsim/window/view_geometry.h"

namespace hostsim {

// How near the user looks, and whether the view shows the whole city
// instead of following the player.
struct ViewZoom {
    float scale = 22.0f;  // pixels a unit
    bool fitCity = false;
};
// Steps in (steps > 0) or out, and follows the player again.
void ZoomView(ViewZoom& zoom, int steps);

struct ListedCommand {
    std::string line;
    int repeats = 1;
    bool operator==(const ListedCommand&) const = default;
};

// The panel's last commands, the one thing the window takes from the trace:
// the host keeps no list of what it was sent.
struct PanelCommands {
    std::deque<ListedCommand> listed;  // newest last; waits are not listed
    int64_t count = 0;                 // every command, waits too
    int64_t lastSecond = 0;            // the host second of the last command
    int64_t countBeforeLastSecond = 0;
};
// Takes in one trace record. Called on whichever thread holds the turn.
void ListCommand(PanelCommands& commands, const TraceRecord& record);

struct PanelStatus {
    std::string takePath;
    std::string notice;  // a line shown under the take, e.g. "take saved"
    bool ended = false;  // the played scenario has reached its end
    bool operator==(const PanelStatus&) const = default;
};

struct FramePlayer {
    bool shown;  // there is a player to draw; the radar and the panel show it anyway
    float x, y, z, heading;
    std::string model;  // "" for the game's own
    bool operator==(const FramePlayer&) const = default;
};
// A person or a car as drawn, with the label under or over it.
struct FramePerson {
    float x, y, heading;
    std::string label;
    bool operator==(const FramePerson&) const = default;
};
struct FrameCar {
    float x, y, heading;
    int32_t model;  // its paint
    bool driven;    // the driver's head shows in its seat
    std::string label;
    bool operator==(const FrameCar&) const = default;
};
// A host text while it is shown; no lines when none is.
struct FrameText {
    std::string text;
    int number = 0;
    bool operator==(const FrameText&) const = default;
};

struct StudioFrame {
    // The view and the city under everything that moves.
    ViewCamera camera;
    std::vector<HostBox> boxes;
    std::vector<HostObject> objects;
    std::vector<HostCarGenerator> carGenerators;
    // What moves, and the radar marks.
    FramePlayer player;
    std::vector<FrameCar> cars;
    std::vector<FramePerson> peds;  // those not in a car
    std::vector<Point> markers;     // where each radar marker is, on a point or on what it follows
    bool startPointShown;
    Point startPoint;
    bool cameraShown;  // the fixed camera, drawn where it stands
    Point cameraEye;
    bool cameraLooks;
    Point cameraTarget;
    int64_t animationStep;  // moves the markers' bobbing and the rain; 0 when neither is shown
    // The screen's effects and the top corners.
    int clockMinutes;        // since midnight
    std::string clockState;  // "running", "set", "frozen"
    int weather;
    bool weatherHeld;
    bool cutscene, fixedCamera, controlsLocked;
    int fadeAlpha;  // the black over the view, 0 to 255
    FrameText title, subtitle;
    // The side panel.
    int64_t hostSeconds;   // whole seconds: finer would redraw the panel every frame
    int64_t commandCount;  // before that second: the count of every frame would redraw each one
    PanelStatus status;
    size_t pedCount, carCount;
    std::string keysHeld;
    std::deque<ListedCommand> commands;

    bool operator==(const StudioFrame&) const = default;
};

// The frame at host time `now`, written over the one in `frame`; keysHeld as
// the panel shows them.
void BuildStudioFrame(StudioFrame& frame, const HostWorld& world, int64_t now, const ViewZoom& zoom,
                      const PanelStatus& status, const PanelCommands& commands, const std::string& keysHeld);
// The keys held in the run in progress, as the panel shows them.
std::string KeysHeldText();

}  // namespace hostsim
