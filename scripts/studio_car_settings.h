// The car settings that Home and End select in the modifier chain.
#pragma once

struct StudioState;

// Car 1 or Car 2, as Home or End selects it.
enum CarNumber {
    kCarOne = 1,
    kCarTwo = 2,
};

// Tests the car keys in order and sends the first held one's setting to the
// car. Returns false when none of them is held.
bool RunCarSettingKeys(StudioState& studio, CarNumber car);
