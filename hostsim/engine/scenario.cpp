// Scenario file parsing.
#include "hostsim/engine/scenario.h"

#include <cstdint>
#include <cstdlib>
#include <sstream>

namespace hostsim {

struct NamedKey {
    const char* name;
    int code;
};

// clang-format off
static const NamedKey kNamedKeys[] = {
    { "BACK", 8 },      { "TAB", 9 },        { "RETURN", 13 },   { "SPACE", 32 },
    { "PRIOR", 33 },    { "NEXT", 34 },      { "END", 35 },      { "HOME", 36 },
    { "LEFT", 37 },     { "UP", 38 },        { "RIGHT", 39 },    { "DOWN", 40 },
    { "INSERT", 45 },   { "DELETE", 46 },
    { "LSHIFT", 160 },  { "RSHIFT", 161 },   { "LCONTROL", 162 }, { "RCONTROL", 163 },
    { "LMENU", 164 },   { "RMENU", 165 },
    { "OEM_COMMA", 188 }, { "OEM_PERIOD", 190 },
};
// clang-format on

int VirtualKeyFromName(const std::string& name)
{
    if (name.empty())
        return -1;
    for (const NamedKey& key : kNamedKeys)
        if (name == key.name)
            return key.code;
    if (name.size() == 1 && ((name[0] >= '0' && name[0] <= '9') || (name[0] >= 'A' && name[0] <= 'Z')))
        return name[0];
    if (name[0] == 'F' && name.size() <= 3) {
        int number = atoi(name.c_str() + 1);
        if (number >= 1 && number <= 24 && std::to_string(number) == name.substr(1))
            return 0x70 + number - 1;
    }
    char* end = nullptr;
    long code = strtol(name.c_str(), &end, 10);
    if (*end == 0 && code > 0 && code < 256)
        return static_cast<int>(code);
    return -1;
}

std::string VirtualKeyName(int code)
{
    for (const NamedKey& key : kNamedKeys)
        if (key.code == code)
            return key.name;
    if ((code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z'))
        return std::string(1, static_cast<char>(code));
    if (code >= 0x70 && code < 0x70 + 24)
        return "F" + std::to_string(code - 0x70 + 1);
    return std::to_string(code);
}

struct NamedHold {
    const char* name;
    StallHold hold;
};

// clang-format off
static const NamedHold kNamedHolds[] = {
    { "heap", kHoldHeap },
    { "hostlock", kHoldHostLock },
};
// clang-format on

std::string StallDirective(const ScenarioEvent& stall)
{
    std::string text = "stall " + (stall.stallMs == kStallForever ? "forever" : std::to_string(stall.stallMs));
    for (const NamedHold& named : kNamedHolds)
        if (named.hold == stall.stallHolds)
            text += " " + std::string(named.name);
    return text;
}

static bool ReadTime(std::istringstream& words, int64_t* t)
{
    long long value;
    if (!(words >> value) || value < 0)
        return false;
    *t = value;
    return true;
}

static bool Fail(std::string* problem, const std::string& what)
{
    *problem = what;
    return false;
}

// MS or forever, then what it holds, if anything.
static bool ReadStall(std::istringstream& words, ScenarioEvent* stall, std::string* problem)
{
    std::string ms;
    if (!(words >> ms))
        return Fail(problem, "stall needs a number of ms or forever");
    if (ms == "forever") {
        stall->stallMs = kStallForever;
    } else {
        std::istringstream number(ms);
        if (!ReadTime(number, &stall->stallMs) || !number.eof() || stall->stallMs > INT32_MAX)
            return Fail(problem, "stall needs a number of ms or forever, not " + ms);
    }
    std::string holds;
    if (!(words >> holds))
        return true;
    for (const NamedHold& named : kNamedHolds)
        if (holds == named.name)
            stall->stallHolds = named.hold;
    if (stall->stallHolds == kHoldNothing)
        return Fail(problem, "a stall holds heap or hostlock, not " + holds);
    // Nothing could ever take that lock again, the host's own thread included.
    if (stall->stallMs == kStallForever)
        return Fail(problem, "a stall that never ends holds nothing");
    return true;
}

static bool ParseLine(const std::string& line, Scenario* scenario, std::string* problem)
{
    std::istringstream words(line);
    std::string directive;
    if (!(words >> directive))
        return true;
    if (directive == "version") {
        if (!(words >> scenario->version) || (scenario->version != 1 && scenario->version != 2))
            return Fail(problem, "version must be 1 or 2");
    } else if (directive == "frame") {
        if (!(words >> scenario->frameMs) || scenario->frameMs <= 0)
            return Fail(problem, "frame needs a positive number of ms");
    } else if (directive == "model-delay") {
        if (!(words >> scenario->modelDelay) || scenario->modelDelay < 0)
            return Fail(problem, "model-delay needs a number of frames");
    } else if (directive == "model-never") {
        int32_t model;
        if (!(words >> model))
            return Fail(problem, "model-never needs a model number");
        scenario->neverModels.push_back(model);
    } else if (directive == "end") {
        if (!ReadTime(words, &scenario->endMs))
            return Fail(problem, "end needs a time");
    } else if (directive == "at") {
        ScenarioEvent event = {};
        std::string what;
        if (!ReadTime(words, &event.t) || !(words >> what))
            return Fail(problem, "at needs a time and an action");
        if (what == "keydown" || what == "keyup") {
            event.kind = what == "keydown" ? kEventKeyDown : kEventKeyUp;
            std::string name;
            while (words >> name) {
                int code = VirtualKeyFromName(name);
                if (code < 0)
                    return Fail(problem, "unknown key " + name);
                event.keys.push_back(code);
            }
            if (event.keys.empty())
                return Fail(problem, what + " needs at least one key");
        } else if (what == "player") {
            event.kind = kEventPlayer;
            if (!(words >> event.x >> event.y >> event.z))
                return Fail(problem, "player needs X Y Z");
        } else if (what == "reinit") {
            event.kind = kEventReinit;
        } else if (what == "shutdown") {
            event.kind = kEventShutdown;
        } else if (what == "snapshot") {
            event.kind = kEventSnapshot;
        } else if (what == "stall") {
            event.kind = kEventStall;
            if (!ReadStall(words, &event, problem))
                return false;
        } else if (what == "busy") {
            event.kind = kEventBusy;
            if (!ReadTime(words, &event.busyMs) || event.busyMs > INT32_MAX)
                return Fail(problem, "busy needs a number of ms");
        } else {
            return Fail(problem, "unknown action " + what);
        }
        scenario->events.push_back(event);
    } else {
        return Fail(problem, "unknown directive " + directive);
    }
    std::string extra;
    if (words >> extra)
        return Fail(problem, "unexpected " + extra);
    return true;
}

bool ParseScenario(const std::string& text, Scenario* scenario, std::string* error)
{
    *scenario = Scenario();
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        size_t comment = line.find('#');
        if (comment != std::string::npos)
            line.erase(comment);
        std::string problem;
        if (!ParseLine(line, scenario, &problem)) {
            *error = "line " + std::to_string(number) + ": " + problem;
            return false;
        }
    }
    return true;
}

}  // namespace hostsim
