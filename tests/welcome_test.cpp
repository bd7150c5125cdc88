// The welcome thread: its cut-scene, the start marker and the studio's start.
#include <gtest/gtest.h>

#include "tests/studio_session.h"

using namespace hostsim;

namespace {

// The next command of the script after the index.
const TraceRecord* NextCommandOf(const std::vector<TraceRecord>& trace, size_t index, int script)
{
    const size_t next = Find(trace, CommandFromScript(script), index + 1);
    return next < trace.size() ? &trace[next] : nullptr;
}

// The marker's placing: kPlaceMarkerAtPoint at the start point, kind 2.
std::vector<TraceRecord> MarkerPlacings(const std::vector<TraceRecord>& trace)
{
    return CommandsWithId(trace, kPlaceMarkerAtPoint.id);
}

TEST(Welcome, EachTextIsFollowedByAWaitOneHundredMsLongerThanItStays)
{
    const RunResult result = RunSession("frame 20\nend 16000\n");
    ASSERT_EQ(Errors(result.trace), "");
    const struct {
        const char* key;
        int ms;
        int wait;
    } shown[] = {
        { "!WELC_1", 5000, 5100 },
        { "!WELC_2", 8000, 8100 },
    };
    for (const auto& text : shown) {
        const size_t at = FindText(result.trace, text.key);
        ASSERT_LT(at, result.trace.size()) << text.key << " never shown";
        EXPECT_EQ(result.trace[at].ms, text.ms) << text.key;
        EXPECT_EQ(result.trace[at].style, 1) << text.key;
        // The text record comes before its own kShowText; the wait follows that.
        const TraceRecord* showCommand = NextCommandOf(result.trace, at, result.trace[at].script);
        ASSERT_NE(showCommand, nullptr);
        const size_t showIndex = static_cast<size_t>(showCommand - result.trace.data());
        const TraceRecord* wait = NextCommandOf(result.trace, showIndex, result.trace[at].script);
        ASSERT_NE(wait, nullptr);
        EXPECT_EQ(wait->id, kWait.id) << "after " << text.key;
        EXPECT_EQ(wait->args[0].i, text.wait) << "after " << text.key;
    }
    const size_t title = FindText(result.trace, "!WELC_0");
    ASSERT_LT(title, result.trace.size());
    EXPECT_LT(title, FindText(result.trace, "!WELC_1"));
    EXPECT_EQ(result.trace[title].style, 2);
}

TEST(Welcome, TheMarkerIsPlacedAtTheFirstCheckAfterTheCutscene)
{
    const RunResult result = RunSession("frame 20\nend 18000\n");
    ASSERT_EQ(Errors(result.trace), "");
    // The cut-scene ends by unlocking the controls (kSetPlayerControls with 1), after "!WELC_2".
    const size_t unlocked = FindCommand(result.trace, kSetPlayerControls.id, FindText(result.trace, "!WELC_2"));
    ASSERT_LT(unlocked, result.trace.size());
    EXPECT_EQ(result.trace[unlocked].args[1].i, 1);
    const int script = result.trace[unlocked].script;
    const TraceRecord* wait = NextCommandOf(result.trace, unlocked, script);
    ASSERT_NE(wait, nullptr);
    ASSERT_EQ(wait->id, kWait.id);
    EXPECT_EQ(wait->args[0].i, 100);
    const TraceRecord* placing = NextCommandOf(result.trace, static_cast<size_t>(wait - result.trace.data()), script);
    ASSERT_NE(placing, nullptr);
    ASSERT_EQ(placing->id, kPlaceMarkerAtPoint.id);
    EXPECT_EQ(placing->t, wait->t + 100);
    EXPECT_FLOAT_EQ(placing->args[0].f, 1003.09f);
    EXPECT_FLOAT_EQ(placing->args[1].f, -456.49f);
    EXPECT_FLOAT_EQ(placing->args[2].f, 55.74f);
    EXPECT_EQ(placing->args[3].i, 2);
    EXPECT_EQ(MarkerPlacings(result.trace).size(), 1u);
    EXPECT_EQ(CurrentHostWorld().markers.size(), 1u);
}

TEST(Welcome, ArrivalStartsTheStudioOnceAndTakesTheMarkerOffTheRadar)
{
    const RunResult result = RunSession(ArrivalScenario() + At(kArrivalMs + 2000, "player 1011.72 -456.49 55.88") +
                                        At(kArrivalMs + 4000, kToStartPoint) + EndAt(kArrivalMs + 6000));
    ASSERT_EQ(Errors(result.trace), "");
    const std::vector<TraceRecord> placings = MarkerPlacings(result.trace);
    ASSERT_EQ(placings.size(), 1u);
    const std::vector<TraceRecord> starts = CommandsWithId(result.trace, kStartScript.id);
    ASSERT_EQ(starts.size(), 1u) << "one studio, however often the player arrives";
    EXPECT_GE(starts[0].t, kArrivalMs);
    EXPECT_LT(starts[0].t, kArrivalMs + 200) << "at the first 100 ms check after the arrival";

    const std::vector<TraceRecord> removals = CommandsWithId(result.trace, kRemoveMarker.id);
    ASSERT_EQ(removals.size(), 1u);
    EXPECT_EQ(removals[0].args[0].i, placings[0].out[0]) << "the handle the placing wrote back";
    EXPECT_EQ(removals[0].t, starts[0].t) << "taken off in the pass that starts the studio";
    EXPECT_TRUE(CurrentHostWorld().markers.empty());
}

TEST(Welcome, AfterAReinitialisationTheMarkerIsPlacedAgain)
{
    // The studio has already been started when the scripts restart.
    const RunResult result = RunSession(ArrivalScenario() + At(kArrivalMs + 1000, "reinit") + EndAt(40000));
    ASSERT_EQ(Errors(result.trace), "");
    const std::vector<TraceRecord> placings = MarkerPlacings(result.trace);
    ASSERT_EQ(placings.size(), 2u);
    EXPECT_LT(placings[0].t, kArrivalMs);
    EXPECT_GT(placings[1].t, kArrivalMs + 1000 + 13000) << "after the second cut-scene";
    EXPECT_EQ(CommandsWithId(result.trace, kStartScript.id).size(), 1u);
}

}  // namespace
