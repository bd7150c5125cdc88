// The main loop's key map: the rows one pass tests, in their order, with
// where the pass lets the game run a host step and where the hold step falls.
// The studio runs it; the GAME KEYS document and the tests read it.
#pragma once

#include "scripts/ped_catalogue.h"
#include "scripts/studio_cars.h"
#include "scripts/studio_state.h"

// What a row runs. The argument of the row says which group, catalogue or car.
enum MainLoopFeature {
    kFeatureClockMode,
    kFeatureTextsOn,
    kFeatureTextsOff,
    kFeatureUnfreezeClock,
    kFeatureCreateGroup,  // argument: the group, 1 to 4
    kFeatureDeleteGroup,  // argument: the group
    kFeatureCreateCar,    // argument: the CarCatalogueId
    kFeatureDeleteCar,    // argument: the car, 1 or 2
    kFeaturePlayerModel,
    kFeatureDeleteEverything,
    kFeatureNextWeather,
};
inline constexpr int kMainLoopFeatureCount = kFeatureNextWeather + 1;  // the last feature + 1

// When the row's keys are polled.
enum RowTest {
    kTestNow,        // right after the row before
    kTestAfterStep,  // after a wait of 0 ms: the game runs on for a host step first
};

// What follows when the row's keys are held and its feature has run.
enum RowEnd {
    kEndsPass,
    kPassGoesOn,  // the text switches: the rows after them are tested too
};

// What follows the row when the pass goes on.
enum RowThen {
    kNextRow,
    kHoldStepThen,  // the hold step, then the next row
};

struct MainLoopRow {
    int keys[2];  // both held at their polls
    RowTest test;
    MainLoopFeature feature;
    int argument;
    RowEnd end;
    RowThen then;
};

// In the order one pass tests them. After the last row the pass ends with
// the modifier chain, which polls and holds on its own.
// clang-format off
inline constexpr MainLoopRow kMainLoopRows[] = {
    // keys                           test            feature                   argument          held         then
    { { kKeyInsert, '0' },            kTestNow,       kFeatureClockMode,        0,                kEndsPass,   kNextRow      },
    { { kKeyInsert, 'T' },            kTestNow,       kFeatureTextsOn,          0,                kPassGoesOn, kNextRow      },
    { { kKeyDelete, 'T' },            kTestNow,       kFeatureTextsOff,         0,                kPassGoesOn, kNextRow      },
    { { kKeyDelete, '0' },            kTestNow,       kFeatureUnfreezeClock,    0,                kEndsPass,   kNextRow      },
    // The creation block, with the hold step at its four fixed points.
    { { kKeyInsert, '1' },            kTestAfterStep, kFeatureCreateGroup,      1,                kEndsPass,   kHoldStepThen },
    { { kKeyDelete, '1' },            kTestAfterStep, kFeatureDeleteGroup,      1,                kEndsPass,   kNextRow      },
    { { kKeyInsert, '2' },            kTestAfterStep, kFeatureCreateGroup,      2,                kEndsPass,   kNextRow      },
    { { kKeyDelete, '2' },            kTestAfterStep, kFeatureDeleteGroup,      2,                kEndsPass,   kNextRow      },
    { { kKeyInsert, '3' },            kTestAfterStep, kFeatureCreateGroup,      3,                kEndsPass,   kHoldStepThen },
    { { kKeyDelete, '3' },            kTestAfterStep, kFeatureDeleteGroup,      3,                kEndsPass,   kNextRow      },
    { { kKeyInsert, '4' },            kTestAfterStep, kFeatureCreateGroup,      4,                kEndsPass,   kNextRow      },
    { { kKeyDelete, '4' },            kTestAfterStep, kFeatureDeleteGroup,      4,                kEndsPass,   kNextRow      },
    { { kKeyInsert, '5' },            kTestAfterStep, kFeatureCreateCar,        kCar1CatalogueA,  kEndsPass,   kNextRow      },
    { { kKeyDelete, '5' },            kTestAfterStep, kFeatureDeleteCar,        1,                kEndsPass,   kNextRow      },
    { { kKeyInsert, '6' },            kTestAfterStep, kFeatureCreateCar,        kCar1CatalogueB,  kEndsPass,   kHoldStepThen },
    { { kKeyInsert, '7' },            kTestAfterStep, kFeatureCreateCar,        kCar2CatalogueA,  kEndsPass,   kNextRow      },
    { { kKeyDelete, '7' },            kTestAfterStep, kFeatureDeleteCar,        2,                kEndsPass,   kNextRow      },
    { { kKeyInsert, '8' },            kTestAfterStep, kFeatureCreateCar,        kCar2CatalogueB,  kEndsPass,   kHoldStepThen },
    { { kKeyInsert, 'S' },            kTestAfterStep, kFeaturePlayerModel,      0,                kEndsPass,   kNextRow      },
    { { kKeyDelete, kKeyBackspace },  kTestAfterStep, kFeatureDeleteEverything, 0,                kEndsPass,   kNextRow      },
    { { kKeyInsert, '9' },            kTestNow,       kFeatureNextWeather,      0,                kEndsPass,   kNextRow      },
};
// clang-format on
inline constexpr int kMainLoopRowCount = sizeof kMainLoopRows / sizeof kMainLoopRows[0];
// One row a feature, but one a group for creating and deleting a group, one a
// catalogue for creating a car and one a car for deleting it.
static_assert(kMainLoopRowCount == kMainLoopFeatureCount - 4 + 2 * kPedGroupCount + kCarCatalogueCount + kCarPlaceCount,
              "a row for every feature, group, car catalogue and car");

// The row that runs the feature with the argument; nullptr when none does.
constexpr const MainLoopRow* MainLoopRowOf(MainLoopFeature feature, int argument)
{
    for (const MainLoopRow& row : kMainLoopRows)
        if (row.feature == feature && row.argument == argument)
            return &row;
    return nullptr;
}
