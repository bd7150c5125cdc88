// What the wrappers' states change: a ped's created flag and destructor, a
// car's destructor, a marker's placed flag, and the values the host writes
// back into handles and output variables.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/car.h"
#include "game/ped.h"
#include "game/player.h"
#include "game/radar_marker.h"
#include "game/script_control.h"
#include "hostsim/direct/direct_binding.h"
#include "script/scheduler.h"
#include "tests/trace_helpers.h"
#include "tests/wrapper_trace.h"

using namespace hostsim;

namespace {

typedef std::vector<std::string> Lines;

// Read by the tests once the run is over.
bool createdAfterConstruction = true;
bool createdAfterCreate = false;
bool createdAfterDiscard = false;
int32_t releasedHandle = 0;
int32_t deletedHandle = 0;
bool emptyMarkerAnswers[2] = { true, true };
float spot[3];
int32_t playerHandles[2];

void Idle(ScriptThread* self)
{
    for (;;)
        WaitMs(self, 1000);
}

// The commands that are not model loading or waiting.
Lines Effects(const std::vector<TraceRecord>& trace)
{
    Lines lines;
    for (const TraceRecord& record : Commands(trace))
        if (record.id != kWait.id && record.id != kRequestModel.id && record.id != kLoadRequestedModels.id &&
            record.id != kIsModelAvailable.id)
            lines.push_back(RenderCommand(record));
    return lines;
}

void MakesAndDestroysPeds(ScriptThread* self)
{
    WaitForFirstTurn(self);
    scriptControl = new ScriptControl;
    delete new Ped(self, true);  // never created

    Ped* released = new Ped(self, true);
    createdAfterConstruction = released->created;
    released->Create(4, 7, 1.5f, 2.5f, 3.5f);
    createdAfterCreate = released->created;
    released->Discard();
    createdAfterDiscard = released->created;
    releasedHandle = released->handle;
    delete released;

    Ped* deleted = new Ped(self, false);
    deleted->Create(4, 7, 1.5f, 2.5f, 3.5f);
    deletedHandle = deleted->handle;
    delete deleted;
    Idle(self);
}

TEST(PedLifecycle, CreateSetsCreatedAndOnlyACreatedPedIsRemovedOnDestruction)
{
    RunResult result = RunRoutine(MakesAndDestroysPeds, "frame 20\nmodel-delay 1\nend 1000\n");
    EXPECT_EQ(Errors(result.trace), "");
    EXPECT_FALSE(createdAfterConstruction);
    EXPECT_TRUE(createdAfterCreate);
    EXPECT_TRUE(createdAfterDiscard) << "Discard leaves created set, so destruction still removes the ped";
    EXPECT_NE(releasedHandle, 0) << "the host's handle was written back";
    EXPECT_NE(deletedHandle, releasedHandle);
    std::string r = std::to_string(releasedHandle), d = std::to_string(deletedHandle);
    EXPECT_EQ(Effects(result.trace), (Lines { "009A i4 i7 f1.5 f2.5 f3.5 v0", "009B v" + r, "01C2 v" + r,
                                              "009A i4 i7 f1.5 f2.5 f3.5 v0", "034F v" + d }));
    EXPECT_TRUE(CurrentHostWorld().peds.empty());
}

void MakesAndDestroysCars(ScriptThread* self)
{
    WaitForFirstTurn(self);
    scriptControl = new ScriptControl;
    Car* deleted = new Car(self, 90, 1.5f, 2.5f, 3.5f, false);
    deletedHandle = deleted->handle;
    delete deleted;
    Car* released = new Car(self, 91, 4.5f, 5.5f, 6.5f, true);
    releasedHandle = released->handle;
    delete released;
    Idle(self);
}

TEST(CarLifecycle, DestructionDeletesOrReleasesTheCarTheConstructorMade)
{
    RunResult result = RunRoutine(MakesAndDestroysCars, "frame 20\nmodel-delay 0\nend 1000\n");
    EXPECT_EQ(Errors(result.trace), "");
    std::string d = std::to_string(deletedHandle), r = std::to_string(releasedHandle);
    EXPECT_EQ(Effects(result.trace),
              (Lines { "00A5 i90 f1.5 f2.5 f3.5 v0", "00A6 v" + d, "00A5 i91 f4.5 f5.5 f6.5 v0", "01C3 v" + r }));
    EXPECT_TRUE(CurrentHostWorld().cars.empty());
}

void UsesMarkers(ScriptThread* self)
{
    WaitForFirstTurn(self);
    RadarMarker* empty = new RadarMarker;
    emptyMarkerAnswers[0] = empty->Command0168(1);
    emptyMarkerAnswers[1] = empty->Command0165(1);
    delete empty;
    RadarMarker* placed = new RadarMarker;
    placed->PlaceAtPoint(1003.09f, -456.49f, 55.74f, 2);
    releasedHandle = placed->handle;
    delete placed;
    Idle(self);
}

TEST(RadarMarkerLifecycle, AnEmptyMarkerSendsNothingAndAPlacedOneIsRemoved)
{
    RunResult result = RunRoutine(UsesMarkers, "frame 20\nend 500\n");
    EXPECT_EQ(Errors(result.trace), "");
    EXPECT_FALSE(emptyMarkerAnswers[0]);
    EXPECT_FALSE(emptyMarkerAnswers[1]);
    std::vector<TraceRecord> placing = CommandsWithId(result.trace, kPlaceMarkerAtPoint.id);
    ASSERT_EQ(placing.size(), 1u);
    EXPECT_EQ(releasedHandle, placing[0].out.at(0));
    EXPECT_EQ(Effects(result.trace),
              (Lines { "02A7 f1003.09 f-456.49 f55.74 i2 v0", "0164 v" + std::to_string(releasedHandle) }));
    EXPECT_TRUE(CurrentHostWorld().markers.empty());
}

void AsksForTheSpotInFront(ScriptThread* self)
{
    WaitForFirstTurn(self);
    Player* player = new Player(1.5f, 2.5f, 3.5f);
    playerHandles[0] = player->playerHandle;
    playerHandles[1] = player->characterHandle;
    spot[0] = spot[1] = spot[2] = 111.5f;
    player->GetOffsetPoint(0.0f, 3.0f, 0.0f, &spot[0], &spot[1], &spot[2]);
    Idle(self);
}

TEST(PlayerOutputs, GetOffsetPointSendsTheOldValuesAndTakesTheHostsPoint)
{
    RunResult result = RunRoutine(AsksForTheSpotInFront, "frame 20\nend 500\n");
    EXPECT_EQ(Errors(result.trace), "");
    std::vector<TraceRecord> created = CommandsWithId(result.trace, kCreatePlayer.id);
    std::vector<TraceRecord> character = CommandsWithId(result.trace, kGetCharacterHandle.id);
    ASSERT_EQ(created.size(), 1u);
    ASSERT_EQ(character.size(), 1u);
    EXPECT_EQ(playerHandles[0], created[0].out.at(0));
    EXPECT_EQ(playerHandles[1], character[0].out.at(1));
    EXPECT_NE(playerHandles[0], playerHandles[1]);

    std::vector<TraceRecord> asked = CommandsWithId(result.trace, kGetPlayerOffsetPoint.id);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].args.at(0).i, playerHandles[1]) << "the point is asked of the character";
    float sent;
    for (int n = 0; n < 3; ++n) {
        memcpy(&sent, &asked[0].args.at(4 + n).i, 4);
        EXPECT_EQ(sent, 111.5f) << "output " << n << " is sent with its old value";
        EXPECT_EQ(spot[n], FloatOut(asked[0], 1 + n)) << "output " << n << " takes the host's value";
    }
    // The host puts the point 3 units ahead of a player facing heading 0.
    EXPECT_FLOAT_EQ(spot[0], 1.5f);
    EXPECT_FLOAT_EQ(spot[1], 5.5f);
    EXPECT_FLOAT_EQ(spot[2], 3.5f);
}

}  // namespace
