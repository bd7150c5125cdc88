// The modifier chain: which modifier wins, what the ped keys and the Group 4
// keys send, the car keys that wait for their car, and the re-poll while a
// modifier is held alone.
#include <gtest/gtest.h>

#include "tests/studio_feature_steps.h"

using namespace hostsim;

namespace {

std::string Handle(int32_t handle)
{
    return std::to_string(handle);
}

// The actions sent after the time, as text.
std::string ActionsAfter(const RunResult& result, const StudioSession& session, int64_t after)
{
    return Described(StudioActionsAfter(result.trace, session.studioScript, after));
}

TEST(ModifierChain, LeftShiftWinsOverLeftCtrlWhenBothGroupsExist)
{
    const StudioSession session = ReachStudio();
    ASSERT_GE(session.readyAt, 0);
    FeatureSteps steps = StepsFrom(session);
    steps.CreateGroup(1).CreateGroup(2);
    const int64_t animating = steps.Now();
    steps.WithModifier("LSHIFT LCONTROL", "Q");
    const RunResult result = steps.Run();
    ASSERT_EQ(Errors(result.trace), "");
    const std::vector<int32_t> peds = GroupPedHandles(result.trace, session.readyAt);
    ASSERT_EQ(peds.size(), 3u);
    EXPECT_EQ(ActionsAfter(result, session, animating), "0372(" + Handle(peds[0]) + ",19,2000)");
}

TEST(ModifierChain, ASkippedModifierLetsTheNextOneAct)
{
    const StudioSession session = ReachStudio();
    ASSERT_GE(session.readyAt, 0);
    FeatureSteps steps = StepsFrom(session);
    steps.CreateGroup(2);
    const int64_t animating = steps.Now();
    steps.WithModifier("LSHIFT LCONTROL", "W");
    const int64_t secondPed = steps.Now();
    steps.WithModifier("LMENU", "W");
    const RunResult result = steps.Run();
    ASSERT_EQ(Errors(result.trace), "");
    const std::vector<int32_t> peds = GroupPedHandles(result.trace, session.readyAt);
    ASSERT_EQ(peds.size(), 2u);
    // Group 1 does not exist: Left Shift is passed over.
    const std::vector<TraceRecord> first = StudioActionsAfter(result.trace, session.studioScript, animating);
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(Described({ first[0] }), "0372(" + Handle(peds[0]) + ",31,2000)");
    EXPECT_EQ(ActionsAfter(result, session, secondPed), "0372(" + Handle(peds[1]) + ",31,2000)")
        << "Left Alt is Group 2 Ped 2";
}

TEST(ModifierChain, GroupOnePedOneHasItsOwnCAndEnd)
{
    const StudioSession session = ReachStudio();
    ASSERT_GE(session.readyAt, 0);
    FeatureSteps steps = StepsFrom(session);
    steps.CreateGroup(1).CreateGroup(2);
    const int64_t leadC = steps.Now();
    steps.WithModifier("LSHIFT", "C");
    const int64_t otherC = steps.Now();
    steps.WithModifier("LCONTROL", "C");
    const int64_t leadV = steps.Now();
    steps.WithModifier("LSHIFT", "V");
    const int64_t otherV = steps.Now();
    steps.WithModifier("LCONTROL", "V");
    const int64_t leadEnd = steps.Now();
    steps.WithModifier("LSHIFT", "END");
    const int64_t otherEnd = steps.Now();
    steps.WithModifier("LCONTROL", "END");
    const RunResult result = steps.Run();
    ASSERT_EQ(Errors(result.trace), "");
    const std::vector<int32_t> peds = GroupPedHandles(result.trace, session.readyAt);
    ASSERT_EQ(peds.size(), 3u);
    const int32_t player = CommandsWithId(result.trace, kCreatePlayer.id).back().out[0];
    const std::string lead = Handle(peds[0]), other = Handle(peds[1]);

    auto between = [&](int64_t after, int64_t until) {
        return Described(StudioActionsBetween(result.trace, session.studioScript, after, until));
    };
    EXPECT_EQ(between(leadC, otherC),
              "020F(" + lead + "," + Handle(player) + ") 009C(" + lead + ",1) 0319(" + lead + ",0)");
    EXPECT_EQ(between(otherC, leadV), "009C(" + other + ",0) 0319(" + other + ",0)");
    EXPECT_EQ(between(leadV, otherV),
              "020F(" + lead + "," + Handle(player) + ") 009C(" + lead + ",1) 0319(" + lead + ",1)");
    EXPECT_EQ(between(otherV, leadEnd), "009C(" + other + ",0) 0319(" + other + ",1)");
    EXPECT_EQ(between(leadEnd, otherEnd), "011A(" + lead + ",0)");
    EXPECT_EQ(between(otherEnd, steps.Now() + 1500), "") << "End is Group 1 Ped 1's only";
}

TEST(ModifierChain, TabWithFunctionKeysDirectsGroupFour)
{
    const StudioSession session = ReachStudio();
    ASSERT_GE(session.readyAt, 0);
    FeatureSteps steps = StepsFrom(session);
    steps.CreateGroup(4);
    const int64_t pairing = steps.Now();
    steps.WithModifier("TAB", "F7");
    const int64_t each = steps.Now();
    steps.WithModifier("TAB", "F10");
    const RunResult result = steps.Run();
    ASSERT_EQ(Errors(result.trace), "");
    const std::vector<int32_t> peds = GroupPedHandles(result.trace, session.readyAt);
    ASSERT_EQ(peds.size(), 4u);
    const std::vector<TraceRecord> pair = StudioActionsAfter(result.trace, session.studioScript, pairing);
    ASSERT_FALSE(pair.empty());
    EXPECT_EQ(Described({ pair[0] }), "03F9(" + Handle(peds[3]) + "," + Handle(peds[0]) + ",20000)")
        << "F7 closes the ring: Ped 4 with Ped 1";
    std::string expected;
    for (int32_t ped : peds)
        expected +=
            (expected.empty() ? "" : " ") + std::string("009C(") + Handle(ped) + ",0) 0319(" + Handle(ped) + ",0)";
    EXPECT_EQ(ActionsAfter(result, session, each), expected) << "each ped's commands before the next ped's";
}

TEST(ModifierChain, ACarKeyWithoutItsCarFallsThroughToTheNextRow)
{
    const StudioSession session = ReachStudio();
    ASSERT_GE(session.readyAt, 0);
    FeatureSteps steps = StepsFrom(session);
    steps.CreateGroup(2).CreateCar(2);
    const int64_t entering = steps.Now();
    steps.WithModifier("LCONTROL", "N M");
    const RunResult result = steps.Run();
    ASSERT_EQ(Errors(result.trace), "");
    const std::vector<int32_t> peds = GroupPedHandles(result.trace, session.readyAt);
    ASSERT_EQ(peds.size(), 2u);
    const int32_t car2 = LastCarHandle(result.trace, entering);
    EXPECT_EQ(ActionsAfter(result, session, entering), "01D5(" + Handle(peds[0]) + "," + Handle(car2) + ")");
}

TEST(ModifierChain, AModifierHeldAloneKeepsTheGameSteppingAndSendsNothing)
{
    const StudioSession session = ReachStudio();
    ASSERT_GE(session.readyAt, 0);
    FeatureSteps steps = StepsFrom(session);
    steps.CreateGroup(1);
    const int64_t holding = steps.Now();
    steps.Press("LSHIFT", 3000, 0);
    const int64_t released = steps.Now();
    const RunResult result = steps.Run();
    ASSERT_EQ(Errors(result.trace), "");
    // After the pass reaches the chain: one 0 ms wait per host step, nothing else.
    const std::vector<TraceRecord> commands = StudioCommandsAfter(result.trace, session.studioScript, holding + 700);
    int waits = 0;
    for (const TraceRecord& record : commands) {
        if (record.t >= released)
            break;
        EXPECT_EQ(Described({ record }), "0001(0)");
        ++waits;
    }
    EXPECT_GE(waits, (3000 - 700 - 40) / 20) << "one poll of the chain per host step";
}

// Frozen: Left Shift held alone re-polls before the hold step, Left Ctrl
// held alone after it, at every host step.
TEST(ModifierChain, TheHoldStepComesBetweenTheFirstAndSecondModifierTests)
{
    const StudioSession session = ReachStudio();
    ASSERT_GE(session.readyAt, 0);
    FeatureSteps steps = StepsFrom(session);
    steps.CreateGroup(1).CreateGroup(2).Freeze();
    const int64_t first = steps.Now();
    steps.Press("LSHIFT", 2000, 0);
    const int64_t second = steps.Now();
    steps.Press("LCONTROL", 2000, 0);
    const int64_t released = steps.Now();
    const RunResult result = steps.Run();
    ASSERT_EQ(Errors(result.trace), "");

    auto shape = [&](int64_t after, int64_t until) {
        std::string text;
        for (const TraceRecord& record : StudioCommandsAfter(result.trace, session.studioScript, after)) {
            if (record.t > until)
                break;
            text += record.id == kWait.id           ? "W"
                    : record.id == kSetTimeOfDay.id ? "H"
                    : record.id == kHoldWeather.id  ? ""
                                                    : "?";
        }
        return text;
    };
    const std::string alone = shape(first + 700, second - 100);
    EXPECT_GT(alone.size(), 40u);
    EXPECT_EQ(alone, std::string(alone.size(), 'W')) << "no hold step before the first test";
    const std::string afterFirst = shape(second + 700, released - 100);
    EXPECT_GT(afterFirst.size(), 80u);
    EXPECT_EQ(afterFirst.find("WW"), std::string::npos) << afterFirst;
    EXPECT_EQ(afterFirst.find("HH"), std::string::npos) << afterFirst;
}

}  // namespace
