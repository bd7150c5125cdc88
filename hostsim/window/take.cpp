// Writing a take as a scenario file.
#include "hostsim/window/take.h"

#include <algorithm>
#include <charconv>

namespace hostsim {

void AddTakeKey(Take& take, int64_t t, int virtualKey, bool down)
{
    ScenarioEventKind kind = down ? kEventKeyDown : kEventKeyUp;
    // Keys of one frame and one direction share a line.
    if (!take.user.empty() && take.user.back().t == t && take.user.back().kind == kind) {
        take.user.back().keys.push_back(virtualKey);
        return;
    }
    ScenarioEvent event = {};
    event.t = t;
    event.kind = kind;
    event.keys.push_back(virtualKey);
    take.user.push_back(event);
}

void AddTakeSnapshot(Take& take, int64_t t)
{
    ScenarioEvent event = {};
    event.t = t;
    event.kind = kEventSnapshot;
    take.user.push_back(event);
}

// The shortest decimal that reads back as the same float.
static std::string Number(float value)
{
    char digits[32];
    std::to_chars_result result = std::to_chars(digits, digits + sizeof digits, value);
    return std::string(digits, result.ptr);
}

static std::string EventLine(const ScenarioEvent& event)
{
    std::string line = "at " + std::to_string(event.t) + " ";
    switch (event.kind) {
    case kEventKeyDown:
    case kEventKeyUp:
        line += event.kind == kEventKeyDown ? "keydown" : "keyup";
        for (int key : event.keys)
            line += " " + VirtualKeyName(key);
        break;
    case kEventPlayer:
        line += "player " + Number(event.x) + " " + Number(event.y) + " " + Number(event.z);
        break;
    case kEventReinit:
        line += "reinit";
        break;
    case kEventShutdown:
        line += "shutdown";
        break;
    case kEventSnapshot:
        line += "snapshot";
        break;
    case kEventStall:
        line += StallDirective(event);
        break;
    case kEventBusy:
        line += "busy " + std::to_string(event.busyMs);
        break;
    }
    return line + "\n";
}

std::string TakeText(const Take& take, int64_t endMs)
{
    struct Line {
        int64_t t;
        int source;  // 0 the user's, 1 the played scenario's
        std::string text;
    };
    std::vector<Line> lines;
    for (const ScenarioEvent& event : take.user)
        lines.push_back({ event.t, 0, EventLine(event) });
    std::vector<ScenarioEvent> played = take.played.events;
    std::stable_sort(played.begin(), played.end(),
                     [](const ScenarioEvent& a, const ScenarioEvent& b) { return a.t < b.t; });
    // A played event applies at the first frame at or after its time, after
    // the user's keys of that frame: written at that frame's time, it sorts
    // after them and replays the same.
    const int64_t frame = take.played.frameMs;
    for (ScenarioEvent event : played) {
        event.t = (event.t + frame - 1) / frame * frame;
        if (event.t <= endMs)
            lines.push_back({ event.t, 1, EventLine(event) });
    }
    std::stable_sort(lines.begin(), lines.end(),
                     [](const Line& a, const Line& b) { return a.t != b.t ? a.t < b.t : a.source < b.source; });

    std::string text = "# A take recorded in the studio window; tools/hostsim replays it.\n";
    text += "version " + std::to_string(take.played.version) + "\n";
    text += "frame " + std::to_string(take.played.frameMs) + "\n";
    text += "model-delay " + std::to_string(take.played.modelDelay) + "\n";
    for (const Line& line : lines)
        text += line.text;
    text += "end " + std::to_string(endMs) + "\n";
    return text;
}

}  // namespace hostsim
