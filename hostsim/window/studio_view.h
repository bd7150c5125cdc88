// What the studio window shows: the top-down view that follows the player,
// the radar, the host's texts, fades, letterbox bars and the fixed camera,
// and the side panel a modder reads (keys held, the last commands sent).
#pragma once

#include <SDL.h>

#include <cstdint>
#include <deque>
#include <string>

#include "hostsim/engine.h"
#include "hostsim/window/city_view.h"

// How near the user looks, and whether the view shows the whole city
// instead of following the player.
struct ViewZoom {
    float scale = 22.0f;  // pixels a unit
    bool fitCity = false;
};
// Steps in (steps > 0) or out, and follows the player again.
void ZoomView(ViewZoom& zoom, int steps);

struct ShownText {
    std::string text;
    int number = 0;
    int64_t until = -1;  // shown while the host time is before this
};

struct ListedCommand {
    std::string line;
    int repeats = 1;
};

// What the view learns from the trace as the run goes: the host keeps no
// record of these, so they are taken from the commands that set them.
struct ViewFeed {
    ShownText title;      // style 2
    ShownText subtitle;   // style 1 and any other style
    std::deque<ListedCommand> commands;  // newest last; waits are not listed
    int64_t commandCount = 0;
    int64_t changes = 0;          // records that may have changed the picture
    bool cameraKnown = false, cameraTargetKnown = false;
    float cameraX = 0, cameraY = 0, cameraTargetX = 0, cameraTargetY = 0;
    int64_t clockSetAt = 0;       // host time of the last clock set
    int clockSetHour = 12, clockSetMinute = 0;
    bool startPointKnown = false;
    float startX = 0, startY = 0;  // where the last point marker was placed
};

// Takes in one trace record. Called on whichever thread holds the turn.
void FeedView(ViewFeed& feed, const TraceRecord& record);

struct PanelStatus {
    std::string takePath;
    std::string notice;        // a line shown under the take, e.g. "take saved"
    bool ended = false;        // the played scenario has reached its end
};

void DrawStudio(SDL_Renderer* renderer, const HostWorld& world, int64_t now, const ViewFeed& feed,
                const PanelStatus& status, const ViewZoom& zoom);

// Changes whenever the picture DrawStudio would draw changes: the window
// draws a frame only then.
uint64_t PictureSignature(const HostWorld& world, int64_t now, const ViewFeed& feed, const PanelStatus& status,
                          const ViewZoom& zoom);
