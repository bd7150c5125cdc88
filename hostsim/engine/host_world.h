// The game as the substitute host holds it: the player, peds, cars, markers,
// the city the boot lays out, the clock, weather and camera, and the texts
// on screen. Read by tests and front ends between steps; written by the
// command handlers and the host's own stepping.
#pragma once

#include <cstdint>
#include <limits>
#include <map>
#include <string>
#include <vector>

namespace hostsim {

struct HostPed {
    int32_t model = 0;
    float x = 0, y = 0, z = 0, heading = 0;
    std::string name;    // the named model's name ("BURGER"), "" for a numbered model
    std::string doing;   // the last direction, worded as the label shows it ("anim 19, 2 s")
    bool inCar = false;  // vanished into a car (not drawn)
    int32_t car = 0;     // the car it was sent into and walks to, or sits in
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
    float toldSpeed = 0;        // set car speed
    CarStyle style = kNoStyle;  // psycho or normal driving
    int32_t behaviour = 0;      // set car behaviour
    bool drivingTo = false;     // drive car to, until it arrives
    float toX = 0, toY = 0, toZ = 0;
    int followedBox = -1;    // behaviour 1: the box whose edges it follows
    int nextCorner = 0;      //   and the corner it heads for
    float nextSwerveIn = 0;  // psycho: seconds to its next random turn
};

// A rectangle of the map, its least corner first; empty until widened.
struct HostArea {
    float minX = std::numeric_limits<float>::infinity(), minY = std::numeric_limits<float>::infinity();
    float maxX = -std::numeric_limits<float>::infinity(), maxY = -std::numeric_limits<float>::infinity();
};

// What the boot lays out in the city, as sent.
struct HostBox {
    uint16_t command;  // which of the two box commands sent it
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

struct HostWorld {
    HostPlayer player;
    std::vector<HostBox> boxes;
    std::vector<HostObject> objects;
    std::vector<HostCarGenerator> carGenerators;
    HostArea cityBounds;                    // around every box, object and car generator
    std::map<int32_t, HostPed> peds;        // by handle
    std::map<int32_t, HostCar> cars;        // by handle
    std::map<int32_t, HostMarker> markers;  // by handle
    // Where the last marker at a point was placed: the studio's start point.
    bool pointMarkerPlaced = false;
    float lastPointMarkerX = 0, lastPointMarkerY = 0;
    std::map<int32_t, int64_t> modelAvailableAtFrame;  // requested models
    std::map<int32_t, std::string> specialModels;      // special slot -> name
    uint32_t swerveSeed = 1;                           // psycho driving's random turns: the same in every run
    int64_t fadeEndsAt = 0;
    int fadeDirection = 1;  // 1 towards the picture, 0 towards black
    int fadeDurationMs = 0;
    int clockHour = 12, clockMinute = 0;  // as last set; the clock runs on from there
    int64_t clockSetAt = 0;               // simulated ms
    int weather = 0;
    bool weatherHeld = false;
    bool cutscene = false;
    bool fixedCamera = false;
    float cameraX = 0, cameraY = 0;  // where the fixed camera stands
    bool cameraLooks = false;        // told where to look since it was placed
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

}  // namespace hostsim
