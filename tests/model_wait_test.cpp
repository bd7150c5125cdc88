// The model-wait loop on a real script thread: what a ped, a car and the
// player send while the host loads a model, and how long they give the turn away.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/car.h"
#include "game/ped.h"
#include "game/player.h"
#include "game/script_control.h"
#include "hostsim/direct/direct_binding.h"
#include "script/scheduler.h"
#include "tests/trace_helpers.h"
#include "tests/wrapper_trace.h"

using namespace hostsim;

namespace {

typedef std::vector<std::string> Lines;

// The polls show the host's answer: "0248 i7 =1".
std::string Line(const TraceRecord& record)
{
    return record.id == kIsModelAvailable.id ? RenderWithCondition(record) : RenderCommand(record);
}

// The commands from the first one with the id on, up to the routine's idle waits.
Lines From(const std::vector<TraceRecord>& trace, uint16_t id)
{
    Lines lines;
    bool started = false;
    for (const TraceRecord& record : Commands(trace)) {
        started = started || record.id == id;
        if (started && RenderCommand(record) != "0001 i1000")
            lines.push_back(Line(record));
    }
    return lines;
}

void Idle(ScriptThread* self)
{
    for (;;)
        WaitMs(self, 1000);
}

void CreatesOnePed(ScriptThread* self)
{
    WaitForFirstTurn(self);
    scriptControl = new ScriptControl;
    (new Ped(self, true))->Create(4, 7, 1.5f, 2.5f, 3.5f);
    Idle(self);
}

void CreatesTwoPedsOfOneModel(ScriptThread* self)
{
    WaitForFirstTurn(self);
    scriptControl = new ScriptControl;
    (new Ped(self, true))->Create(4, 7, 1.5f, 2.5f, 3.5f);
    WaitMs(self, 500);
    (new Ped(self, true))->Create(4, 7, 4.5f, 5.5f, 6.5f);
    Idle(self);
}

void CreatesOneCar(ScriptThread* self)
{
    WaitForFirstTurn(self);
    scriptControl = new ScriptControl;
    new Car(self, 90, 1.5f, 2.5f, 3.5f, true);
    Idle(self);
}

void AsksForAModelTwice(ScriptThread* self)
{
    WaitForFirstTurn(self);
    scriptControl = new ScriptControl;
    (new Ped(self, true))->Command01B2(7, 1);
    (new Player(1.5f, 2.5f, 3.5f))->Command01B1(self, 7, 2);
    Idle(self);
}

TEST(ModelWait, APedOfALoadedModelStillRequestsItButDoesNotWait)
{
    RunResult result = RunRoutine(CreatesTwoPedsOfOneModel, "frame 20\nmodel-delay 2\nend 2000\n");
    EXPECT_EQ(Errors(result.trace), "");
    size_t second = 0;  // the 500 ms wait between the two peds
    while (second < result.trace.size() && RenderCommand(result.trace[second]) != "0001 i500")
        ++second;
    ASSERT_LT(second, result.trace.size());
    Lines afterWait;
    for (size_t n = second + 1; n < result.trace.size(); ++n)
        if (result.trace[n].kind == kCommandRecord && RenderCommand(result.trace[n]) != "0001 i1000")
            afterWait.push_back(Line(result.trace[n]));
    EXPECT_EQ(afterWait, (Lines { "0247 i7", "038B", "0248 i7 =1", "009A i4 i7 f4.5 f5.5 f6.5 v0" }));
}

TEST(ModelWait, APedWaitsOneHostStepPerPollUntilItsModelArrives)
{
    RunResult result = RunRoutine(CreatesOnePed, "frame 20\nmodel-delay 3\nend 1000\n");
    EXPECT_EQ(Errors(result.trace), "") << "the ped must not be created before its model is there";
    EXPECT_EQ(From(result.trace, kRequestModel.id),
              (Lines { "0247 i7", "038B", "0248 i7 =0", "0001 i0", "0248 i7 =0", "0001 i0", "0248 i7 =0", "0001 i0",
                       "0248 i7 =1", "009A i4 i7 f1.5 f2.5 f3.5 v0" }));
    // One poll per host frame.
    std::vector<TraceRecord> polls = CommandsWithId(result.trace, kIsModelAvailable.id);
    ASSERT_EQ(polls.size(), 4u);
    for (size_t n = 1; n < polls.size(); ++n)
        EXPECT_EQ(polls[n].t - polls[n - 1].t, 20) << "poll " << n;
}

TEST(ModelWait, ACarOfALoadedModelDoesNotWait)
{
    RunResult result = RunRoutine(CreatesOneCar, "frame 250\nmodel-delay 0\nend 2000\n");
    EXPECT_EQ(Errors(result.trace), "");
    EXPECT_EQ(From(result.trace, kRequestModel.id),
              (Lines { "0247 i90", "038B", "0248 i90 =1", "00A5 i90 f1.5 f2.5 f3.5 v0" }));
}

TEST(ModelWait, ACarWaits250MsPerPollUntilItsModelArrives)
{
    // One host frame per 250 ms, so a model three frames away takes three waits.
    RunResult result = RunRoutine(CreatesOneCar, "frame 250\nmodel-delay 3\nend 3000\n");
    EXPECT_EQ(Errors(result.trace), "") << "the car must not be created before its model is there";
    EXPECT_EQ(From(result.trace, kRequestModel.id),
              (Lines { "0247 i90", "038B", "0248 i90 =0", "0001 i250", "0248 i90 =0", "0001 i250", "0248 i90 =0",
                       "0001 i250", "0248 i90 =1", "00A5 i90 f1.5 f2.5 f3.5 v0" }));
}

TEST(ModelWait, RequestOnlyWhenMissingAsksFirstAndSkipsTheLoopForALoadedModel)
{
    RunResult result = RunRoutine(AsksForAModelTwice, "frame 20\nmodel-delay 2\nend 1000\n");
    EXPECT_EQ(Errors(result.trace), "");
    EXPECT_EQ(From(result.trace, kIsModelAvailable.id),
              (Lines { // the ped: missing, so the whole loop follows the first poll
                       "0248 i7 =0", "0247 i7", "038B", "0248 i7 =0", "0001 i0", "0248 i7 =0", "0001 i0", "0248 i7 =1",
                       "01B2 v0 i7 i1",
                       // the player: loaded by now, so one poll
                       "0053 i0 f1.5 f2.5 f3.5 v0", "01F5 v1 v0", "0248 i7 =1", "01B1 v1 i7 i2" }));
}

}  // namespace
