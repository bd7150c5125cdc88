// The ped places and their model choice: the ring of numbered and named
// models, the cursor kept between choices, and the places without a name.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/studio_session.h"

using namespace hostsim;

namespace {

// The model shown right after the first showing of the given one, or "".
std::string ShownAfter(const std::vector<std::string>& shown, const std::string& model)
{
    for (size_t n = 0; n + 1 < shown.size(); ++n)
        if (shown[n] == model)
            return shown[n + 1];
    return "";
}

bool IsNumber(const std::string& model)
{
    return !model.empty() && model[0] >= '0' && model[0] <= '9';
}

std::string Listed(const std::vector<std::string>& shown)
{
    std::string text;
    for (const std::string& model : shown)
        text += model + " ";
    return text;
}

// Group 1's choice with the paging key held for a whole round of the ring,
// then Backspace. Returns the models shown and made from the main loop on.
std::vector<std::string> RoundOfTheRing(const StudioSession& session, const std::string& pagingKey)
{
    const RunResult result = StudioScript { session }
                                 .At(0, "keydown INSERT 1")
                                 .At(session.JustAfterRow(kFeatureCreateGroup, 1), "keyup INSERT 1")
                                 .At(1000, "keydown " + pagingKey)
                                 .At(31000, "keyup " + pagingKey)
                                 .At(32000, "keydown BACK")
                                 .At(32100, "keyup BACK")
                                 .Run(34000);
    EXPECT_EQ(Errors(result.trace), "");
    return PedModelsMade(result.trace, MainLoopStart(result.trace));
}

// The studio's commands from one preview's creation to the next, waits
// included, while the paging key is held in Group 1's choice.
// "+20:0001(0)": the command's time from the first preview, its id, and a wait's time.
std::string StepRecord(const TraceRecord& record, int64_t from)
{
    const std::string wait = record.id == kWait.id ? "(" + std::to_string(record.args[0].i) + ")" : "";
    return "+" + std::to_string(record.t - from) + ":" + CommandIdText(record.id) + wait;
}

std::string OneBrowseStep(const StudioSession& session, const std::string& pagingKey)
{
    const RunResult result = StudioScript { session }
                                 .At(0, "keydown INSERT 1")
                                 .At(session.JustAfterRow(kFeatureCreateGroup, 1), "keyup INSERT 1")
                                 .At(1000, "keydown " + pagingKey)
                                 .At(3000, "keyup " + pagingKey)
                                 .Run(3500);
    EXPECT_EQ(Errors(result.trace), "");
    std::vector<size_t> previews;
    for (size_t n = IndexAt(result.trace, session.readyAt + 1500); n < result.trace.size(); ++n)
        if (IsCommand(result.trace[n], kCreatePed.id))
            previews.push_back(n);
    if (previews.size() < 2)
        return "fewer than two previews";
    std::string step;
    for (size_t n = previews[0]; n < previews[1]; ++n)
        if (result.trace[n].kind == kCommandRecord && result.trace[n].script == session.studioScript)
            step += StepRecord(result.trace[n], result.trace[previews[0]].t) + " ";
    return step;
}

TEST(PedChoice, PageUpWalksTheNumberedModelsThenTheNamedOnesThenBackToModelOne)
{
    const StudioSession session = ReachStudio();
    ASSERT_GE(session.readyAt, 0);
    const std::vector<std::string> shown = RoundOfTheRing(session, "PRIOR");
    ASSERT_GT(shown.size(), 103u + 71u + 2u) << "a whole round: " << Listed(shown);

    std::vector<std::string> numbered;
    for (int model = 1; model <= 106; ++model)
        if (model != 4 && model != 7 && model != 8)
            numbered.push_back(std::to_string(model));
    EXPECT_EQ(std::vector<std::string>(shown.begin(), shown.begin() + 103), numbered);
    EXPECT_EQ(shown[103], "BGA") << "named position 1 follows model 106";
    // Positions 25 and 26 have no name for place 1: the ring steps over them.
    EXPECT_EQ(ShownAfter(shown, "IGCOLON"), "IGHLARY");
    EXPECT_EQ(ShownAfter(shown, "IGMERC"), "IGMERC2");
    EXPECT_EQ(ShownAfter(shown, "PLAY12"), "1") << "named position 73 goes back to model 1";
    size_t named = 0;
    for (size_t n = 103; n < shown.size() && !IsNumber(shown[n]); ++n)
        ++named;
    EXPECT_EQ(named, 71u) << Listed(shown);
    // Backspace makes the ped of the model on show.
    EXPECT_EQ(shown[shown.size() - 1], shown[shown.size() - 2]);
}

TEST(PedChoice, PageDownWalksTheRingBackwards)
{
    const StudioSession session = ReachStudio();
    ASSERT_GE(session.readyAt, 0);
    const std::vector<std::string> shown = RoundOfTheRing(session, "NEXT");
    ASSERT_GT(shown.size(), 3u);
    EXPECT_EQ(shown[0], "1");
    EXPECT_EQ(shown[1], "PLAY12") << "model 1 goes to named position 73";
    EXPECT_EQ(ShownAfter(shown, "IGHLARY"), "IGCOLON");
    EXPECT_EQ(ShownAfter(shown, "BGA"), "106") << "named position 1 goes to model 106";
    EXPECT_EQ(ShownAfter(shown, "9"), "6");
    EXPECT_EQ(ShownAfter(shown, "5"), "3");
    for (const char* missing : { "4", "7", "8" })
        EXPECT_EQ(std::count(shown.begin(), shown.end(), missing), 0) << "model " << missing << " shown";
}

TEST(PedChoice, TheCursorIsKeptFromOneChoiceToTheNext)
{
    const StudioSession session = ReachStudio();
    ASSERT_GE(session.readyAt, 0);
    // Group 2 with a few steps up, Backspace held through both of its places;
    // then Group 1.
    const RunResult result = StudioScript { session }
                                 .At(0, "keydown INSERT 2")
                                 .At(session.JustAfterRow(kFeatureCreateGroup, 2), "keyup INSERT 2")
                                 .At(1000, "keydown PRIOR")
                                 .At(1300, "keyup PRIOR")
                                 .At(2000, "keydown BACK")
                                 .At(2400, "keyup BACK")
                                 .At(3000, "keydown INSERT 1")
                                 .At(4000, "keyup INSERT 1")
                                 .At(5000, "keydown BACK")
                                 .At(5100, "keyup BACK")
                                 .Run(7000);
    ASSERT_EQ(Errors(result.trace), "");
    const std::vector<std::string> shown = PedModelsMade(result.trace, MainLoopStart(result.trace));
    ASSERT_GE(shown.size(), 7u) << Listed(shown);
    const std::string chosen = shown[shown.size() - 5];
    EXPECT_NE(chosen, "1") << Listed(shown);
    // Place 2 made; place 3 shown and made at its first poll; Group 1 shown and made.
    for (size_t n = shown.size() - 4; n < shown.size(); ++n)
        EXPECT_EQ(shown[n], chosen) << Listed(shown);
    EXPECT_EQ(CommandsWithId(result.trace, kCommand018C.id).size(), 1u) << "only place 1 sends 0x018C";
    for (const char* key : { "!GP2PD1", "!GP2PD2", "!GP1PD1" })
        EXPECT_EQ(FindText(result.trace, key), result.trace.size()) << key << " shown while texts are off";
}

TEST(PedChoice, TheLastPlaceOfGroupFourStepsOverItsOwnPositionsWithoutAName)
{
    const StudioSession session = ReachStudio();
    ASSERT_GE(session.readyAt, 0);
    // Backspace held from 1 s on confirms the places one after another; the
    // baseline shows when place 9's ped is made.
    const RunResult baseline = StudioScript { session }
                                   .At(0, "keydown INSERT 4")
                                   .At(session.JustAfterRow(kFeatureCreateGroup, 4), "keyup INSERT 4")
                                   .At(1000, "keydown BACK")
                                   .Run(3000);
    std::vector<int64_t> made;
    for (const TraceRecord& record : CommandsWithId(baseline.trace, kCreatePed.id))
        if (record.t >= session.readyAt + 1000)
            made.push_back(record.t);
    ASSERT_GE(made.size(), 5u);
    const int64_t place9Made = made[4];  // place 7, preview 8, place 8, preview 9, place 9

    const RunResult result = StudioScript { session }
                                 .At(0, "keydown INSERT 4")
                                 .At(session.JustAfterRow(kFeatureCreateGroup, 4), "keyup INSERT 4")
                                 .At(1000, "keydown BACK")
                                 .At(place9Made + 20 - session.readyAt, "keyup BACK")
                                 .At(place9Made + 100 - session.readyAt, "keydown NEXT")
                                 .At(place9Made + 12000 - session.readyAt, "keyup NEXT")
                                 .At(place9Made + 13000 - session.readyAt, "keydown BACK")
                                 .At(place9Made + 13100 - session.readyAt, "keyup BACK")
                                 .Run(place9Made + 15000 - session.readyAt);
    ASSERT_EQ(Errors(result.trace), "");
    // Place 10's first preview, model 1, shares place 9's turn; the models after it.
    const std::vector<std::string> place10 = PedModelsMade(result.trace, IndexAt(result.trace, place9Made + 20));
    ASSERT_GT(place10.size(), 2u);
    EXPECT_EQ(place10[0], "PLAY12");
    EXPECT_EQ(ShownAfter(place10, "IGHLARY"), "IGGONZ") << "position 26 has a name for place 10";
    EXPECT_EQ(ShownAfter(place10, "IGGONZ"), "IGBUDY3") << "positions 25 and 24 have none";
    EXPECT_EQ(ShownAfter(place10, "IGMIKE"), "IGMERD4");
    // Every named preview of place 10 uses its own special slot.
    for (const TraceRecord& record : CommandsWithId(result.trace, kLoadSpecialModel.id)) {
        if (record.t > place9Made + 20) {
            EXPECT_EQ(record.args[0].i, 10);
        }
    }
}

}  // namespace

// Each poll of the choice comes after a 0 ms wait of its own, and a step of
// the cursor waits 0 ms between its two skip checks: the game runs on a host
// step at each. The new model is then asked for and polled once a host step
// until it is there (two frames in this session), and the preview made.
TEST(PedChoice, EachBrowseStepGivesTheGameItsHostStepsAtFixedPoints)
{
    const StudioSession session = ReachStudio();
    ASSERT_GE(session.readyAt, 0);
    EXPECT_EQ(OneBrowseStep(session, "PRIOR"),
              "+0:009A +0:020F +0:0001(0) "  // the Page Up test after a step
              "+20:0001(0) "                 // between the skip checks
              "+40:009B +40:04C4 +40:0247 +40:038B +40:0248 +40:0001(0) +60:0248 +60:0001(0) +80:0248 ");
    // Page Down is tested a step after Page Up; model 1 steps back into the
    // named models, whose name is loaded into the place's special slot first.
    EXPECT_EQ(OneBrowseStep(session, "NEXT"),
              "+0:009A +0:020F +0:0001(0) +20:0001(0) "  // the Page Up and Page Down tests
              "+40:0001(0) "                             // between the skip checks
              "+60:009B +60:023C +60:038B +60:04C4 +60:0247 +60:038B +60:0248 +60:0001(0) +80:0248 +80:0001(0) "
              "+100:0248 ");
}
