// The studio thread: the mini-tutorial and its skips, and the main loop's
// pass over the key map.
#include <gtest/gtest.h>

#include "hostsim/engine/scenario.h"
#include "tests/studio_session.h"

using namespace hostsim;

namespace {

const char* const kTutorialTexts[] = { "!WELC_3", "!CAUGHT", "!TAKEN", "!GETEM", "!GETEM2" };

std::vector<std::string> TextKeysOf(const std::vector<TraceRecord>& trace, int script)
{
    std::vector<std::string> keys;
    for (const TraceRecord& record : Texts(trace))
        if (record.script == script)
            keys.push_back(record.key);
    return keys;
}

// The commands of the script from the index on, as ids.
std::vector<uint16_t> CommandIdsOf(const std::vector<TraceRecord>& trace, int script, size_t from, size_t count)
{
    std::vector<uint16_t> ids;
    for (const TraceRecord& command : Select(trace, CommandFromScript(script), from))
        if (ids.size() < count)
            ids.push_back(command.id);
    return ids;
}

TEST(Tutorial, WatchedWholeItShowsEveryTextAndSendsTheCarOff)
{
    const RunResult result = RunSession(ArrivalScenario() + EndAt(80000));
    ASSERT_EQ(Errors(result.trace), "");
    const size_t invitation = FindText(result.trace, "!WELC_3");
    ASSERT_LT(invitation, result.trace.size());
    const int studio = result.trace[invitation].script;
    const std::vector<std::string> expected = {
        "!TITLE", "!WELC_3", "!CAUGHT", "!TAKEN", "!GETEM", "!GETEM2", "!SENTI"
    };
    EXPECT_EQ(TextKeysOf(result.trace, studio), expected);

    const size_t drive = FindCommand(result.trace, kDriveCarTo.id);
    ASSERT_LT(drive, result.trace.size());
    EXPECT_FLOAT_EQ(result.trace[drive].args[1].f, 350.0f);
    EXPECT_LT(FindCommand(result.trace, kCommand01D5.id), drive) << "the ped is put in the car first";

    // Each tutorial car is deleted once, when the next replaces it or at the
    // end of the set-up; none is deleted twice and no stale car is.
    std::vector<int32_t> made, deleted;
    for (size_t n = invitation; n < FindText(result.trace, "!SENTI"); ++n) {
        if (IsCommand(result.trace[n], kCreateCar.id))
            made.push_back(result.trace[n].out[0]);
        if (IsCommand(result.trace[n], kDeleteCar.id))
            deleted.push_back(result.trace[n].args[0].i);
    }
    EXPECT_EQ(made.size(), 7u);
    EXPECT_EQ(deleted, made);
    EXPECT_LT(MainLoopStart(result.trace), result.trace.size());
}

TEST(Tutorial, SpaceHeldAtTheInvitationSkipsItWhole)
{
    const StudioSession session = ReachStudio();
    ASSERT_EQ(Errors(session.trace), "");
    const std::vector<std::string> expected = { "!TITLE", "!WELC_3", "!SENTI" };
    EXPECT_EQ(TextKeysOf(session.trace, session.studioScript), expected);
    // The invitation's own command, then at once the fade out of the set-up's end.
    const size_t invitation = FindText(session.trace, "!WELC_3");
    const std::vector<uint16_t> next = CommandIdsOf(session.trace, session.studioScript, invitation, 3);
    EXPECT_EQ(next, (std::vector<uint16_t> { kShowText.id, kFadeColour.id, kFade.id }));
    // The tutorial ped is still taken away, by its own handle.
    const std::vector<TraceRecord> created = CommandsWithId(session.trace, kCreatePed.id);
    const size_t discard = FindCommand(session.trace, kDiscardPed.id, invitation);
    ASSERT_LT(discard, session.trace.size());
    ASSERT_GE(created.size(), 2u);
    EXPECT_EQ(session.trace[discard].args[0].i, created[1].out[0]);
}

TEST(Tutorial, SpaceAtEachCheckpointSkipsTheRest)
{
    const RunResult watched = RunSession(ArrivalScenario() + EndAt(80000));
    ASSERT_EQ(Errors(watched.trace), "");
    int64_t shownAt[5];
    for (int n = 0; n < 5; ++n) {
        const size_t at = FindText(watched.trace, kTutorialTexts[n]);
        ASSERT_LT(at, watched.trace.size()) << kTutorialTexts[n];
        shownAt[n] = watched.trace[at].t;
    }
    // Checkpoint 2 is tested as "!CAUGHT" is shown; 3 to 5 after the waits
    // that follow their texts, so Space pressed just after the text counts.
    const int64_t pressAt[] = { shownAt[1], shownAt[2] + 20, shownAt[3] + 20, shownAt[4] + 20 };
    for (int checkpoint = 2; checkpoint <= 5; ++checkpoint) {
        const RunResult skipped =
            RunSession(ArrivalScenario() + At(pressAt[checkpoint - 2], "keydown SPACE") + EndAt(80000));
        ASSERT_EQ(Errors(skipped.trace), "");
        const size_t invitation = FindText(skipped.trace, "!WELC_3");
        const int studio = skipped.trace[invitation].script;
        std::vector<std::string> expected = { "!TITLE" };
        for (int n = 0; n < checkpoint; ++n)
            expected.push_back(kTutorialTexts[n]);
        expected.push_back("!SENTI");
        EXPECT_EQ(TextKeysOf(skipped.trace, studio), expected) << "Space at checkpoint " << checkpoint;
        EXPECT_LT(MainLoopStart(skipped.trace), skipped.trace.size()) << "checkpoint " << checkpoint;
    }
}

// One idle pass, from a 250 ms wait to the next: the 0 ms waits of the
// creation block (W) and the hold step's two commands (H).
std::string PassShape(const std::vector<TraceRecord>& trace, int script, int64_t after)
{
    std::string shape;
    bool inPass = false;
    for (size_t n = IndexAt(trace, after); n < trace.size(); ++n) {
        const TraceRecord& record = trace[n];
        if (record.kind != kCommandRecord || record.script != script)
            continue;
        if (record.id == kWait.id && record.args[0].i == 250) {
            if (inPass)
                return shape;
            inPass = true;
        } else if (inPass && record.id == kWait.id && record.args[0].i == 0)
            shape += 'W';
        else if (inPass && record.id == kSetTimeOfDay.id)
            shape += 'H';
    }
    return "";
}

// The shape with each wait named by the row of the key map it comes before
// ("W INSERT 1, H, W DELETE 1, ..."), so that a failure names the rows
// around a misplaced wait or hold step. The waits past the key map's are the
// modifier chain's.
std::string Annotated(const std::string& shape)
{
    std::string text;
    int row = 0;
    for (char c : shape) {
        text += text.empty() ? "" : ", ";
        text += c;
        if (c != 'W')
            continue;
        while (row < kMainLoopRowCount && kMainLoopRows[row].test != kTestAfterStep)
            ++row;
        if (row == kMainLoopRowCount)
            continue;
        text += " " + VirtualKeyName(kMainLoopRows[row].keys[0]) + " " + VirtualKeyName(kMainLoopRows[row].keys[1]);
        ++row;
    }
    return text;
}

TEST(MainLoop, AnIdlePassWaitsBeforeEachCreationTestAndHoldsAtItsFixedPoints)
{
    const StudioSession session = ReachStudio();
    ASSERT_GE(session.readyAt, 0);
    const int studio = session.studioScript;
    // Idle and not frozen: sixteen steps, no hold.
    EXPECT_EQ(PassShape(session.trace, studio, session.readyAt), std::string(16, 'W'));

    // Frozen at once (Backspace already held in the clock mode), then idle.
    const RunResult frozen = StudioScript { session }
                                 .At(0, "keydown INSERT 0 BACK")
                                 .At(session.JustAfterRow(kFeatureClockMode), "keyup INSERT 0")
                                 .At(600, "keyup BACK")
                                 .Run(3000);
    ASSERT_EQ(Errors(frozen.trace), "");
    // After the rows 5, 9, 15 and 18, and after the first modifier test.
    const std::string frozenShape = PassShape(frozen.trace, studio, session.readyAt + 1000);
    EXPECT_EQ(frozenShape, "WHWWWWHWWWWWWHWWWHWWH") << Annotated(frozenShape);
    const size_t hold = FindCommand(frozen.trace, kSetTimeOfDay.id, IndexAt(frozen.trace, session.readyAt + 1000));
    ASSERT_LT(hold, frozen.trace.size());
    EXPECT_EQ(frozen.trace[hold + 1].id, kHoldWeather.id) << "the weather is held right after the hour";
}

TEST(MainLoop, InsertWithOneAndTwoCreatesGroupOneOnly)
{
    const StudioSession session = ReachStudio();
    ASSERT_GE(session.readyAt, 0);
    const RunResult result = StudioScript { session }
                                 .At(0, "keydown INSERT 1 2")
                                 .At(session.JustAfterRow(kFeatureCreateGroup, 1), "keyup INSERT 1 2")
                                 .At(1000, "keydown BACK")
                                 .At(1100, "keyup BACK")
                                 .Run(4000);
    ASSERT_EQ(Errors(result.trace), "");
    const size_t from = MainLoopStart(result.trace);
    const std::vector<int32_t> placeholders = PlaceholderPedHandles(session.trace);
    std::vector<int32_t> deleted;
    for (const TraceRecord& record : CommandsWithId(result.trace, kDeletePed.id, from))
        deleted.push_back(record.args[0].i);
    EXPECT_EQ(deleted, std::vector<int32_t> { placeholders[0] }) << "only place 1 is cleared";
    // One preview, then the ped of place 1 with its kCommand018C, and no further choice.
    EXPECT_EQ(PedModelsMade(result.trace, from), (std::vector<std::string> { "1", "1" }));
    const std::vector<TraceRecord> spots = CommandsWithId(result.trace, kCommand018C.id);
    ASSERT_EQ(spots.size(), 1u);
    EXPECT_EQ(spots[0].args[0].i, 1);
}

TEST(MainLoop, DeleteWithTwoDeletesBothPlacesOfANeverCreatedGroup)
{
    const StudioSession session = ReachStudio();
    ASSERT_GE(session.readyAt, 0);
    const RunResult result = StudioScript { session }
                                 .At(0, "keydown DELETE 2")
                                 .At(session.JustAfterRow(kFeatureDeleteGroup, 2), "keyup DELETE 2")
                                 .Run(2000);
    ASSERT_EQ(Errors(result.trace), "");
    const std::vector<int32_t> placeholders = PlaceholderPedHandles(session.trace);
    std::vector<int32_t> deleted;
    for (const TraceRecord& record : CommandsWithId(result.trace, kDeletePed.id, MainLoopStart(result.trace)))
        deleted.push_back(record.args[0].i);
    EXPECT_EQ(deleted, (std::vector<int32_t> { placeholders[1], placeholders[2] }));
}

TEST(MainLoop, DeleteWithBackspaceDeletesEverySlotAndBothCars)
{
    const StudioSession session = ReachStudio();
    ASSERT_GE(session.readyAt, 0);
    const RunResult result = StudioScript { session }
                                 .At(0, "keydown DELETE BACK")
                                 .At(session.JustAfterRow(kFeatureDeleteEverything), "keyup DELETE BACK")
                                 .Run(2000);
    ASSERT_EQ(Errors(result.trace), "");
    const size_t from = MainLoopStart(result.trace);
    std::vector<int32_t> peds, cars;
    for (size_t n = from; n < result.trace.size(); ++n) {
        if (result.trace[n].kind != kCommandRecord)
            continue;
        if (result.trace[n].id == kDeletePed.id)
            peds.push_back(result.trace[n].args[0].i);
        if (result.trace[n].id == kDeleteCar.id)
            cars.push_back(result.trace[n].args[0].i);
    }
    EXPECT_EQ(peds, PlaceholderPedHandles(session.trace));
    // The two placeholder cars: the last two cars made before the main loop.
    const std::vector<TraceRecord> made = CommandsWithId(session.trace, kCreateCar.id);
    ASSERT_GE(made.size(), 2u);
    EXPECT_EQ(cars, (std::vector<int32_t> { made[made.size() - 2].out[0], made.back().out[0] }));
}

}  // namespace
