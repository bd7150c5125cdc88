// The ten ped places of the studio's four groups, and the named models their
// choices browse. Place k loads its named models into special slot k, which
// the host then makes as model kSpecialModelBase + k.
#pragma once

#include <cstdint>

static const int kPedGroupCount = 4;

struct PedPlace {
    int32_t group;
    const char* confirmKey;
    // The named positions whose name differs from place to place; nullptr
    // where the place has no name there.
    const char* name24;
    const char* name26;
    const char* name31;
};

// Place k (1 to 10) is pedPlaces[k - 1], in the order of the studio's pedSlots.
extern const PedPlace pedPlaces[];

// The name at named position 1 to 73 for place k, or nullptr where it has none.
const char* PlaceModelName(int place, int position);
