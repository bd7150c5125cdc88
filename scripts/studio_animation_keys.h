// The key tables of the modifier chain: which modifier selects which target,
// and what each key sends to a ped or to the four peds of Group 4.
#pragma once

#include <cstdint>

// Function keys of the Group 4 table.
enum FunctionKey {
    kKeyF4 = 115,
    kKeyF5 = 116,
    kKeyF6 = 117,
    kKeyF7 = 118,
    kKeyF8 = 119,
    kKeyF9 = 120,
    kKeyF10 = 121,
    kKeyF11 = 122,
    kKeyF12 = 123,
};

// --- The modifier chain --------------------------------------------------------

// The flag that must be set for a modifier to select its target.
enum RequiredFlag {
    kGroup1Created = 1,
    kGroup2Created = 2,
    kGroup3Created = 3,
    kGroup4Created = 4,
    kCar1Created,
    kCar2Created,
};

enum TargetKind {
    kTargetPed,        // one ped, through the ped table
    kTargetGroupFour,  // the four peds of Group 4, through the Group 4 table
    kTargetCar,        // a car, through the car settings
};

struct AnimationTarget {
    int modifier;  // virtual-key code
    RequiredFlag flag;
    TargetKind kind;
    int32_t index;  // ped: place in pedSlots; Group 4: its first place; car: 1 or 2
};

// Group 4 Ped n is in place kGroupFourFirstPlace + n - 1 of pedSlots.
static const int32_t kGroupFourFirstPlace = 6;

extern const AnimationTarget kAnimationTargets[];
extern const int kAnimationTargetCount;

// --- What a key sends ----------------------------------------------------------

// One ped method, with the arguments it takes after the ped's own handle.
enum PedMethod {
    kNoStep,
    kAnimate,      // a: animation number, b: ms
    kCommand04EB,  // a, b
    kCommand01DF,  // the player
    kCommand01D2,  // the player
    kCommand009C,  // a
    kCommand0319,  // a
    kCommand020F,  // the player
    kCommand011C,
    kCommand01D5,  // car a; the row acts only while car a exists
    kCommand01D4,  // car a; likewise
    kCommand03E2,
    kCommand011A,  // a
    kCommand03F9,  // Group 4 Ped a, then b ms
};

struct PedStep {
    PedMethod method;
    int32_t a;
    int32_t b;
};

static const int kMaxPedSteps = 3;

// Which ped targets a row of the ped table serves. Group 1 Ped 1 has keys
// of its own.
enum PedKeyScope {
    kEveryPed,
    kGroupOnePedOne,
    kOtherPeds,
};

struct PedAnimationKey {
    int key;
    PedKeyScope scope;
    PedStep steps[kMaxPedSteps];  // in order; kNoStep ends them
};

extern const PedAnimationKey kPedAnimationKeys[];
extern const int kPedAnimationKeyCount;

// Ped 0: the steps go to Group 4 Ped 1 to 4 in turn, all of one ped's steps
// before the next ped's. Ped 1 to 4: to that ped only.
static const int32_t kEachGroupFourPed = 0;
static const int32_t kGroupFourSize = 4;

struct GroupFourKey {
    int key;
    int32_t ped;
    PedStep steps[kMaxPedSteps];
};

extern const GroupFourKey kGroupFourKeys[];
extern const int kGroupFourKeyCount;
