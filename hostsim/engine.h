// The substitute host's engine: host script records stepped by a simulated
// clock, a one-command interpreter that decodes with the host's own shape
// table, and just enough of a game (models, fades, the player, peds, cars,
// markers, texts) to drive every script of the module. One source for the
// native build and the Windows substitute host.
#pragma once

#include <cstdint>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "host/host_interface.h"
#include "hostsim/scenario.h"
#include "hostsim/trace.h"

// How the engine reaches the module. Natively these call the module's
// functions directly; the Windows substitute host calls through the real
// host code sites that the module has patched.
struct EngineBinding {
    void (*tick)(HostScript* script);          // one step of a host script
    void (*reinit)();                          // the host's script re-initialisation call
    void (*shutdown)();                        // the host's shutdown call
    const char16_t* (*lookupText)(const char* key);  // the host's text lookup
};

struct EngineScript {
    HostScript record;  // first, so a record pointer is its script's pointer
    int number;         // place in the host's list: 0 the first, 1 the next started, ...
    int64_t wakeAt;     // stepped again no sooner than this simulated ms
    uint64_t sender = 0;  // the script thread that sends its commands, from its first on; never the host's own
};

// How the engine waits and tells threads apart on script threads. Natively
// through the C++ thread library; the Windows substitute host sets its own
// (hostsim/win32/stall_holds.h), since a thread the real module terminates
// after it waited or asked its id through that library leaves two handles
// behind, and since only there a stall holds a lock.
struct EngineThreadServices {
    uint64_t (*currentThread)();  // nonzero, and unique among the threads alive
    // Blocks the calling thread ms of real time (kStallForever: until the
    // stalls are released), holding what the stall holds; at once while the
    // stalls are released.
    void (*stall)(int64_t ms, StallHold holds);
    void (*releaseStalls)(bool released);  // the run's end releases them, the next run's start takes that back
};
void SetEngineThreadServices(const EngineThreadServices& services);

struct HostPed {
    int32_t model = 0;
    float x = 0, y = 0, z = 0, heading = 0;
    std::string name;    // the named model's name ("BURGER"), "" for a numbered model
    std::string doing;   // the last direction, worded as the label shows it ("anim 19, 2 s")
    bool inCar = false;  // vanished into a car (not drawn)
    int32_t car = 0;     // the car it walks to (0x01D5) or sits in
};

enum CarStyle { kNoStyle, kNormalDriving, kPsychoDriving };

struct HostCar {
    int32_t model = 0;
    float x = 0, y = 0, z = 0, heading = 0;
    std::string doing;   // the last direction, worded as the label shows it
    float speed = 0;     // present speed, units a second, 0 when standing
    int32_t driver = 0;  // handle of the ped inside, 0 for none
    int slot = 0;        // 1 or 2 once the studio has confirmed it as Car 1 or Car 2
    // What the module told it, which the substitute drives by (driving.h).
    float toldSpeed = 0;            // 0x00AD
    CarStyle style = kNoStyle;      // 0x00A8, 0x00A9
    int32_t behaviour = 0;          // 0x00AF
    bool drivingTo = false;         // 0x02C2, until it arrives
    float toX = 0, toY = 0, toZ = 0;
    int followedBox = -1;           // behaviour 1: the box whose edges it follows
    int nextCorner = 0;             //   and the corner it heads for
    float nextSwerveIn = 0;         // psycho: seconds to its next random turn
};

// A rectangle of the map, its least corner first; empty until widened.
struct HostArea {
    float minX = std::numeric_limits<float>::infinity(), minY = std::numeric_limits<float>::infinity();
    float maxX = -std::numeric_limits<float>::infinity(), maxY = -std::numeric_limits<float>::infinity();
};

// What the boot lays out in the city, as sent.
struct HostBox {
    uint16_t command;  // 0x01E8 or 0x022B
    float x1, y1, z1, x2, y2, z2;
    bool operator==(const HostBox&) const = default;
};

struct HostObject {
    int32_t model;
    float x, y, z;
    bool operator==(const HostObject&) const = default;
};

struct HostCarGenerator {
    int32_t model;
    float x, y, z, heading;
    bool operator==(const HostCarGenerator&) const = default;
};

struct HostPlayer {
    bool exists = false;
    int32_t handle = 0, characterHandle = 0;
    float x = 0, y = 0, z = 0, heading = 0;
    std::string model;
};

// What a radar marker stands on: a point of the map, or a car or a ped,
// which it follows.
enum MarkerOn { kMarkerAtPoint, kMarkerOnCar, kMarkerOnPed };

struct HostMarker {
    MarkerOn on = kMarkerAtPoint;
    int32_t thing = 0;          // the car's or ped's handle
    float x = 0, y = 0, z = 0;  // the point; (0, 0, 0) on a thing, which has no point of its own
};

// A host text, as last sent in its style; shown while the host time is
// before `until`.
struct HostShownText {
    std::string text;
    int number = 0;
    int64_t until = -1;
};

// A named model loaded into special slot n is model n + kFirstSpecialModel.
static const int32_t kFirstSpecialModel = 108;

// The game as the host holds it. Read by tests and front ends between steps.
struct HostWorld {
    HostPlayer player;
    std::vector<HostBox> boxes;
    std::vector<HostObject> objects;
    std::vector<HostCarGenerator> carGenerators;
    HostArea cityBounds;  // around every box, object and car generator
    std::map<int32_t, HostPed> peds;     // by handle
    std::map<int32_t, HostCar> cars;     // by handle
    std::map<int32_t, HostMarker> markers;  // by handle
    // Where the last marker at a point was placed: the studio's start point.
    bool pointMarkerPlaced = false;
    float lastPointMarkerX = 0, lastPointMarkerY = 0;
    std::map<int32_t, int64_t> modelAvailableAtFrame;  // requested models
    std::map<int32_t, std::string> specialModels;      // special slot -> name
    uint32_t swerveSeed = 1;  // psycho driving's random turns: the same in every run
    int64_t fadeEndsAt = 0;
    int fadeDirection = 1;   // 1 towards the picture, 0 towards black
    int fadeDurationMs = 0;
    int clockHour = 12, clockMinute = 0;  // as last set; the clock runs on from there
    int64_t clockSetAt = 0;               // simulated ms
    int weather = 0;
    bool weatherHeld = false;
    bool cutscene = false;
    bool fixedCamera = false;
    float cameraX = 0, cameraY = 0;        // where the fixed camera stands
    bool cameraLooks = false;              // told where to look since it was placed
    float cameraLookX = 0, cameraLookY = 0;
    bool controlsLocked = false;
    HostShownText title;     // style 2
    HostShownText subtitle;  // style 1 and any other style
};

// The host's clock runs one game minute a second from the time last set.
static const int64_t kHostMsPerGameMinute = 1000;

// Minutes since midnight on the host's clock at host time `now`.
inline int HostClockMinutes(const HostWorld& world, int64_t now)
{
    const int64_t minutes = world.clockHour * 60 + world.clockMinute + (now - world.clockSetAt) / kHostMsPerGameMinute;
    return static_cast<int>(minutes % (24 * 60));
}

struct RunResult {
    std::vector<TraceRecord> trace;
    int errors = 0;
};

// The address the module's command bridge uses as script space start: an
// array of the engine's natively; the Windows substitute host moves it to the
// host version's fixed address.
uint8_t* EngineScriptSpace();
void SetEngineScriptSpace(uint8_t* base);
// The one-command interpreter, under the host's calling contract.
void HOST_CALLBACK EngineInterpret(HostScript* script);
// The host's own text lookup, for keys the module does not serve.
const char16_t* HostOwnText(const char* key);
// The key state the module polls.
int16_t EngineKeyState(int virtualKey);

// The host's own code behind the re-initialisation and shutdown calls, reached
// after the module's hooks: re-initialisation drops every host script and
// starts one new first script, numbered 0 again, as a new game does.
void EngineReinitContinuation();
void EngineShutdownContinuation();

// A front end that runs the host in real time: called before each frame,
// with the frame's simulated time, once the previous frame is stepped. It may
// hold and release keys (SetHostKey) and wait. Returning false stops the run
// before this frame; the end record then carries the last stepped frame's time.
typedef bool (*HostFrameCallback)(int64_t frameTime);

// What a run keeps of its trace: all of it, for a scenario run; none, for a
// live front end, which takes each record from onRecord as it comes and
// whose run has no end to bound the trace.
enum TraceKept { kWholeTrace, kNoTrace };

// Runs the scenario to its end. Records are also passed to onRecord as they happen,
// when it is given.
RunResult RunHost(const Scenario& scenario, const EngineBinding& binding,
                  void (*onRecord)(const TraceRecord&) = nullptr,
                  HostFrameCallback beforeFrame = nullptr, TraceKept kept = kWholeTrace);

// Holds or releases a key in the run in progress, as keydown and keyup do.
void SetHostKey(int virtualKey, bool held);

// The arrow keys walk (Up, Down) and turn (Left, Right) the player while its
// controls are not locked, once per frame after the frame's events, as the
// game's own controls do; the module never polls them.
static const float kPlayerWalkSpeed = 3.0f;   // units a second
static const float kPlayerTurnRate = 90.0f;   // degrees a second

// The state of the run in progress (or of the last run).
const HostWorld& CurrentHostWorld();
int64_t CurrentHostTime();
// A "world" record of the run in progress: the player, peds, cars, markers,
// clock and weather at the present simulated time. The run also passes it to
// onRecord and keeps it in the trace.
TraceRecord SnapshotRecord();
// Records an error in the run in progress.
void ReportHostError(const std::string& what);
