// The studio's whole state, and the three operations every studio feature
// uses. The record lives in the studio routine's own frame; only the studio
// thread touches it.
#pragma once

#include <cstdint>

struct Car;
struct Ped;
struct ScriptThread;

static const int kPedPlaceCount = 10;
static const int kCarSpeedSteps = 6;

struct StudioState {
    int32_t chosenModel;      // numbered ped model shown or chosen in the model choice
    int32_t carModelA;        // cursor of the first car catalogue
    int32_t carModelB;        // cursor of the second car catalogue
    int32_t clockHour;        // hour 0 to 23 set in the clock mode
    int32_t clockFrozen;      // 1 while the clock and the weather are held
    int32_t weatherIndex;     // current weather, 0 to 5
    int32_t textsOn;          // 1 = confirmation texts are shown
    int32_t car1SpeedStep;    // speed step of Car 1, 0 = never set
    int32_t car2SpeedStep;    // speed step of Car 2
    int32_t specialIndex;     // cursor 1 to 73 in the named model catalogue
    int32_t specialSlot;      // special-character slot of the model choice in progress
    int32_t groupCreated[5];  // index 1 to 4: 1 once the group's last ped is created
    int32_t car1Created;      // 1 once Car 1 has been created; 0 after its deletion
    int32_t car2Created;
    Ped* previewPed;                // the ped shown while a model is chosen; also the tutorial's ped
    Ped* pedSlots[kPedPlaceCount];  // Group 1 Ped 1; Group 2 Ped 1, 2; Group 3 Ped 1 to 3; Group 4 Ped 1 to 4
    Car* previewCar;                // the car shown while a car model is chosen; also the tutorial's car
    Car* car1;                      // the two car places
    Car* car2;
    float spotX, spotY, spotZ;            // the point 3 m in front of the player, worked out before each creation
    float carSpeeds[kCarSpeedSteps + 1];  // index 1 to 6
    float parkingSpot[3];                 // where the placeholders are made; the tutorial car's destination
    ScriptThread* thread;                 // the studio thread, owner of every wrapper it makes
};

// Virtual-key codes the studio uses.
enum StudioKey {
    kKeyBackspace = 8,
    kKeyTab = 9,
    kKeySpace = 32,
    kKeyPageUp = 33,
    kKeyPageDown = 34,
    kKeyEnd = 35,
    kKeyHome = 36,
    kKeyInsert = 45,
    kKeyDelete = 46,
    kKeyLeftShift = 160,
    kKeyRightShift = 161,
    kKeyLeftCtrl = 162,
    kKeyRightCtrl = 163,
    kKeyLeftAlt = 164,
    kKeyRightAlt = 165,
    kKeyComma = 188,
    kKeyPeriod = 190,
};

// The key test: true while the key's polled state has its high bit set.
bool KeyHeld(int virtualKey);
// The confirmation text: shown for 3000 ms in style 1 only while texts are on.
void Confirm(const StudioState& studio, const char* key);
// The hold step: while the clock is frozen, re-send the hour and the weather.
void HoldStep(const StudioState& studio);
// The spot: the point 3 m in front of the player, into spotX, spotY, spotZ.
void WorkOutSpot(StudioState& studio);
// The browse loop of the ped and car model choices: Page Up, hold step, Page
// Down, Backspace, each test after a wait of 0 ms, until one of the three is
// held; returns its key.
int WaitForBrowseKey(const StudioState& studio);
