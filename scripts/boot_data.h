// The fixed data the boot script sends to give the city its starting state:
// zone information, map boxes, model commands, placed objects, car generators.
#pragma once

#include <cstdint>

// --- Zones (scripts/boot_zones.cpp) -----------------------------------------

struct ZoneRow {
    const char* label;   // the host's zone label, at most 7 characters
    int32_t groupDay;    // SetZoneGroup with the day flag 1
    int32_t groupNight;  // SetZoneGroup with the day flag 0
};

// One zone's eleven values for one of the zone information commands.
struct ZoneInfoRow {
    const char* label;
    int32_t day[11];    // sent with the flag 1
    int32_t night[11];  // sent with the flag 0
};

constexpr int kZoneCount = 43;
// The last zone has no SetZoneInfoC row.
constexpr int kZoneInfoCCount = kZoneCount - 1;

// Row i of each information table belongs to zone i of kZones.
extern const ZoneRow kZones[];
extern const ZoneInfoRow kZoneInfoA[];  // 0x015C
extern const ZoneInfoRow kZoneInfoB[];  // 0x0152
extern const ZoneInfoRow kZoneInfoC[];  // 0x04EC

// --- Map boxes (scripts/boot_areas.cpp) -------------------------------------

struct AreaRow {
    uint16_t command;  // 0x01E8 or 0x022B
    float x1, y1, z1;
    float x2, y2, z2;
};

constexpr int kAreaCount = 43;
extern const AreaRow kAreas[];

// --- Model commands and placed objects (scripts/boot_objects.cpp) -----------

struct ModelCommandRow {
    uint16_t command;  // 0x0363 or 0x03B6
    float x, y, z, radius;
    int32_t model;
    int32_t last;  // 0x0363: its last int; 0x03B6: the second model
};

constexpr int kModelCommandCount = 18;
// Rows before this one are sent before the objects, the rest after them.
constexpr int kModelCommandsBeforeObjects = 14;
extern const ModelCommandRow kModelCommands[];

struct ObjectRow {
    int32_t model;
    float x, y, z;
};

constexpr int kObjectCount = 12;
extern const ObjectRow kObjects[];

// --- Car generators (scripts/boot_car_generators.cpp) -----------------------

struct CarGeneratorRow {
    float x, y, z, heading;
    int32_t model;
    int32_t b[7];
};

constexpr int kCarGeneratorCount = 159;
// The value sent with SetCarGeneratorValue right after each generator.
constexpr int32_t kCarGeneratorValue = 101;
extern const CarGeneratorRow kCarGenerators[];
