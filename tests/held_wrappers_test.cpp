// Letting go of wrappers: freeing a replaced or left-over wrapper sends the
// host nothing (its destructor would release or delete its ped or car), and
// sessions across a re-initialisation, whose next boot frees what the first
// one's scripts held, run clean.
#include <gtest/gtest.h>

#include "game/car.h"
#include "game/held_wrappers.h"
#include "game/ped.h"
#include "game/script_control.h"
#include "host/host_addresses.h"
#include "script/command.h"
#include "script/scheduler.h"
#include "tests/studio_session.h"

using namespace hostsim;

namespace {

int commandsSent = 0;

// Every condition is true, so that model waits end at once.
void HOST_CALLBACK CountingInterpreter(HostScript* script)
{
    ++commandsSent;
    script->bytes[kHostScriptCondition] = 1;
}

// A boot's record and slot, whose table holds what this thread allocates.
void BootWithoutAHost()
{
    static HostScript record;
    alignas(16) static uint8_t scriptSpace[16];
    hostAddresses.interpreter = reinterpret_cast<uintptr_t>(&CountingInterpreter);
    hostAddresses.scriptSpaceBase = reinterpret_cast<uintptr_t>(scriptSpace);
    scheduler.currentHostScript = &record;
    InitScriptThreadList();
}

TEST(HeldWrappers, ReplacingAndReleasingSendNothing)
{
    BootWithoutAHost();
    scriptControl = new ScriptControl;  // the model waits ask it

    Ped* pedHolder = nullptr;
    Car* carHolder = nullptr;
    Ped* firstPed = new Ped(scheduler.scriptThreadList, true);
    firstPed->Create(4, 1, 0.0f, 0.0f, 0.0f);
    Car* firstCar = new Car(scheduler.scriptThreadList, 130, 0.0f, 0.0f, 0.0f, true);
    Ped* secondPed = new Ped(scheduler.scriptThreadList, true);
    secondPed->Create(4, 2, 0.0f, 0.0f, 0.0f);
    Car* secondCar = new Car(scheduler.scriptThreadList, 131, 0.0f, 0.0f, 0.0f, true);
    new Car(scheduler.scriptThreadList, 191, 0.0f, 0.0f, 0.0f, false);  // one that no holder takes
    ASSERT_GT(commandsSent, 0);

    commandsSent = 0;
    Replace(pedHolder, firstPed);
    Replace(carHolder, firstCar);
    Replace(pedHolder, secondPed);  // frees the created first ped
    Replace(carHolder, secondCar);  // frees the first car
    EXPECT_EQ(pedHolder, secondPed);
    EXPECT_EQ(carHolder, secondCar);
    ReleaseHeldWrappers(scheduler.bootSlot);  // frees the second ped and car, and the car no holder took
    EXPECT_EQ(commandsSent, 0);
}

// A boot's table that fills: what does not fit is left alone, never written
// past it.
TEST(HeldWrappers, MoreWrappersThanTheTableHoldsAreKeptWithoutOverrunningIt)
{
    BootWithoutAHost();
    const int kept = 3 * kHeldWrapperCapacity;
    Car* cars[kept];
    for (Car*& car : cars)
        car = static_cast<Car*>(Car::operator new(sizeof(Car)));
    Ped* holder = nullptr;
    Replace(holder, static_cast<Ped*>(::operator new(sizeof(Ped))));
    Replace(holder, static_cast<Ped*>(::operator new(sizeof(Ped))));  // freed: it was not in the table
    ReleaseHeldWrappers(scheduler.bootSlot);                          // the first kHeldWrapperCapacity kept cars
    for (int n = kHeldWrapperCapacity; n < kept; ++n)
        ::operator delete(cars[n]);  // a double free if the release had reached them
    ::operator delete(holder);
}

// The first session is cut off in Group 1's model choice, with previews
// coming and going; the second makes Group 1 and Car 1.
std::string TwoSessions()
{
    const int64_t second = 32000;
    std::string scenario = ArrivalScenario() + At(20000, "keydown SPACE") + At(25000, "keyup SPACE") +
                           At(28000, "keydown INSERT 1") + At(28700, "keyup INSERT 1") + At(29500, "keydown PRIOR") +
                           At(31000, "keyup PRIOR") + At(second, "reinit");
    scenario += At(second + kArrivalMs, kToStartPoint) + At(second + 20000, "keydown SPACE") +
                At(second + 25000, "keyup SPACE") + At(second + 28000, "keydown INSERT 1") +
                At(second + 28700, "keyup INSERT 1") + At(second + 29500, "keydown BACK") +
                At(second + 29600, "keyup BACK") + At(second + 31000, "keydown INSERT 5") +
                At(second + 31700, "keyup INSERT 5") + At(second + 32500, "keydown BACK") +
                At(second + 32600, "keyup BACK");
    return scenario + EndAt(second + 35000);
}

TEST(HeldWrappers, ASessionAfterAReinitialisationRunsCleanAndNothingIsReleasedInTheHost)
{
    const std::vector<TraceRecord> trace = RunSession(TwoSessions()).trace;
    ASSERT_EQ(Errors(trace), "");

    // Both sessions reached the studio; the second made Group 1's ped (after
    // the first preview turned to face the player) and then Car 1.
    const size_t firstStudio = FindText(trace, "!SENTI");
    ASSERT_LT(firstStudio, trace.size());
    const size_t secondStudio = FindText(trace, "!SENTI", firstStudio + 1);
    ASSERT_LT(secondStudio, trace.size());
    const size_t secondGroup = FindCommand(trace, kCreatePed.id, FindCommand(trace, kCommand020F.id, secondStudio));
    EXPECT_LT(secondGroup, trace.size());
    EXPECT_LT(FindCommand(trace, kCreateCar.id, secondGroup), trace.size());

    // Only the wrappers' destructors release peds and cars.
    EXPECT_TRUE(CommandsWithId(trace, kReleasePed.id).empty());
    EXPECT_TRUE(CommandsWithId(trace, kReleaseCar.id).empty());
}

}  // namespace
