// The game as the substitute host holds it: the player, peds, cars, markers,
// the city the boot lays out, and the clock, weather and camera. Read by
// tests and front ends between steps; written by the command handlers and
// the host's own stepping.
#pragma once

#include <cstdint>
#include <limits>
#include <map>
#include <string>
#include <vector>

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
    float toldSpeed = 0;            // set car speed
    CarStyle style = kNoStyle;      // psycho or normal driving
    int32_t behaviour = 0;          // set car behaviour
    bool drivingTo = false;         // drive car to, until it arrives
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
    uint16_t command;  // which of the two box commands sent it
    float x1, y1, z1, x2, y2, z2;
};

struct HostObject {
    int32_t model;
    float x, y, z;
};

struct HostCarGenerator {
    int32_t model;
    float x, y, z, heading;
};

struct HostPlayer {
    bool exists = false;
    int32_t handle = 0, characterHandle = 0;
    float x = 0, y = 0, z = 0, heading = 0;
    std::string model;
};

// A named model loaded into special slot n is model n + kFirstSpecialModel.
static const int32_t kFirstSpecialModel = 108;

struct HostWorld {
    HostPlayer player;
    std::vector<HostBox> boxes;
    std::vector<HostObject> objects;
    std::vector<HostCarGenerator> carGenerators;
    HostArea cityBounds;  // around every box, object and car generator
    std::map<int32_t, HostPed> peds;     // by handle
    std::map<int32_t, HostCar> cars;     // by handle
    std::map<int32_t, std::vector<float>> markers;  // handle -> x, y, z
    std::map<int32_t, int64_t> modelAvailableAtFrame;  // requested models
    std::map<int32_t, std::string> specialModels;      // special slot -> name
    uint32_t swerveSeed = 1;  // psycho driving's random turns: the same in every run
    int64_t fadeEndsAt = 0;
    int fadeDirection = 1;   // 1 towards the picture, 0 towards black
    int fadeDurationMs = 0;
    int clockHour = 12, clockMinute = 0;
    int weather = 0;
    bool weatherHeld = false;
    bool cutscene = false;
    bool fixedCamera = false;
    bool controlsLocked = false;
};
