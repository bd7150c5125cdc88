// The key tables of the modifier chain, in test order.
#include "scripts/studio_animation_keys.h"

#include "scripts/studio_state.h"

// clang-format off
const AnimationTarget kAnimationTargets[] = {
    // modifier        required flag   target            index
    { kKeyLeftShift,   kGroup1Created, kTargetPed,       0                    },  // Group 1 Ped 1
    { kKeyLeftCtrl,    kGroup2Created, kTargetPed,       1                    },  // Group 2 Ped 1
    { kKeyLeftAlt,     kGroup2Created, kTargetPed,       2                    },  // Group 2 Ped 2
    { kKeyRightAlt,    kGroup3Created, kTargetPed,       3                    },  // Group 3 Ped 1
    { kKeyRightCtrl,   kGroup3Created, kTargetPed,       4                    },  // Group 3 Ped 2
    { kKeyRightShift,  kGroup3Created, kTargetPed,       5                    },  // Group 3 Ped 3
    { kKeyTab,         kGroup4Created, kTargetGroupFour, kGroupFourFirstPlace },  // Group 4 Ped 1 to 4
    { kKeyHome,        kCar1Created,   kTargetCar,       1                    },  // Car 1
    { kKeyEnd,         kCar2Created,   kTargetCar,       2                    },  // Car 2
};
// clang-format on
const int kAnimationTargetCount = sizeof kAnimationTargets / sizeof kAnimationTargets[0];
static_assert(sizeof kAnimationTargets / sizeof kAnimationTargets[0] == 9, "nine modifiers");

// clang-format off
const PedAnimationKey kPedAnimationKeys[] = {
    // key          serves            steps
    // --- animations
    { 'Q',          kEveryPed,        { { kAnimate,      19, 2000 } } },
    { 'W',          kEveryPed,        { { kAnimate,      31, 2000 } } },
    { 'E',          kEveryPed,        { { kAnimate,      33, 2000 } } },
    { 'R',          kEveryPed,        { { kAnimate,       3, 2000 } } },
    { 'T',          kEveryPed,        { { kAnimate,       2, 2000 } } },
    { 'Y',          kEveryPed,        { { kAnimate,       8, 2000 } } },
    { 'U',          kEveryPed,        { { kAnimate,      20, 2000 } } },
    { 'I',          kEveryPed,        { { kAnimate,       9, 2000 } } },
    { 'O',          kEveryPed,        { { kAnimate,      11, 2000 } } },
    { 'P',          kEveryPed,        { { kAnimate,      10, 2000 } } },
    { 'A',          kEveryPed,        { { kAnimate,      16, 2000 } } },
    { 'S',          kEveryPed,        { { kCommand04EB,   1, 2000 } } },
    { 'D',          kEveryPed,        { { kAnimate,      14, 2000 } } },
    { 'F',          kEveryPed,        { { kAnimate,      21, 2000 } } },
    { 'G',          kEveryPed,        { { kAnimate,      24, 2000 } } },
    { 'H',          kEveryPed,        { { kAnimate,      25, 2000 } } },
    { 'J',          kEveryPed,        { { kAnimate,      15, 2000 } } },
    { 'K',          kEveryPed,        { { kAnimate,      17, 2000 } } },
    { 'L',          kEveryPed,        { { kAnimate,      30, 2000 } } },
    // --- the player
    { 'Z',          kEveryPed,        { { kCommand01DF,   0,    0 } } },
    { 'X',          kEveryPed,        { { kCommand01D2,   0,    0 } } },
    { 'C',          kOtherPeds,       { { kCommand009C,   0,    0 }, { kCommand0319,   0,    0 } } },
    { 'C',          kGroupOnePedOne,  { { kCommand020F,   0,    0 }, { kCommand009C,   1,    0 }, { kCommand0319, 0, 0 } } },
    { 'V',          kOtherPeds,       { { kCommand009C,   0,    0 }, { kCommand0319,   1,    0 } } },
    { 'V',          kGroupOnePedOne,  { { kCommand020F,   0,    0 }, { kCommand009C,   1,    0 }, { kCommand0319, 1, 0 } } },
    { 'B',          kEveryPed,        { { kCommand011C,   0,    0 } } },
    // --- the cars, only while the car exists
    { 'N',          kEveryPed,        { { kCommand01D5,   1,    0 } } },
    { 'M',          kEveryPed,        { { kCommand01D5,   2,    0 } } },
    { kKeyComma,    kEveryPed,        { { kCommand01D4,   1,    0 } } },
    { kKeyPeriod,   kEveryPed,        { { kCommand01D4,   2,    0 } } },
    // --- the rest
    { kKeySpace,    kEveryPed,        { { kCommand03E2,   0,    0 } } },
    { kKeyBackspace, kEveryPed,       { { kCommand020F,   0,    0 } } },
    { kKeyPageUp,   kEveryPed,        { { kAnimate,      32,    1 } } },
    { kKeyPageDown, kEveryPed,        { { kAnimate,      29,    1 } } },
    { kKeyEnd,      kGroupOnePedOne,  { { kCommand011A,   0,    0 } } },
};
// clang-format on
const int kPedAnimationKeyCount = sizeof kPedAnimationKeys / sizeof kPedAnimationKeys[0];
static_assert(sizeof kPedAnimationKeys / sizeof kPedAnimationKeys[0] == 33 + 2,
              "33 keys, two of them with a row of their own for Group 1 Ped 1");

// clang-format off
const GroupFourKey kGroupFourKeys[] = {
    // key          ped                 steps
    // --- pairs: the four F-keys form a ring
    { kKeyF4,       1,                  { { kCommand03F9,   2, 20000 } } },
    { kKeyF5,       2,                  { { kCommand03F9,   3, 20000 } } },
    { kKeyF6,       3,                  { { kCommand03F9,   4, 20000 } } },
    { kKeyF7,       4,                  { { kCommand03F9,   1, 20000 } } },
    // --- each of the four
    { kKeyF8,       kEachGroupFourPed,  { { kCommand020F,   0,     0 } } },
    { kKeyF9,       kEachGroupFourPed,  { { kCommand01D2,   0,     0 } } },
    { kKeyF10,      kEachGroupFourPed,  { { kCommand009C,   0,     0 }, { kCommand0319, 0, 0 } } },
    { kKeyF11,      kEachGroupFourPed,  { { kCommand009C,   0,     0 }, { kCommand0319, 1, 0 } } },
    { kKeyF12,      kEachGroupFourPed,  { { kAnimate,      19,  2000 } } },
    { kKeySpace,    kEachGroupFourPed,  { { kCommand011C,   0,     0 } } },
    { kKeyPageUp,   kEachGroupFourPed,  { { kAnimate,      32,     1 } } },
    { kKeyPageDown, kEachGroupFourPed,  { { kAnimate,      29,     1 } } },
};
// clang-format on
const int kGroupFourKeyCount = sizeof kGroupFourKeys / sizeof kGroupFourKeys[0];
static_assert(sizeof kGroupFourKeys / sizeof kGroupFourKeys[0] == 12, "twelve Group 4 keys");
