// The player's model choice: it always starts at the first named model, steps
// over the two positions without a name, wraps at both ends, and changes the
// player's model between two short fades.
#include <gtest/gtest.h>

#include "scripts/named_models.h"
#include "tests/studio_feature_steps.h"

using namespace hostsim;

namespace {

// The named positions the previews showed after the time, in order.
std::vector<int> PositionsShown(const std::vector<TraceRecord>& trace, int64_t after)
{
    std::vector<int> positions;
    for (size_t n = IndexAfter(trace, after); n < trace.size(); ++n) {
        if (trace[n].kind != kCommandRecord || trace[n].id != kLoadSpecialModel.id)
            continue;
        EXPECT_EQ(trace[n].args[0].i, 1) << "the preview always uses special slot 1";
        int position = 0;
        for (int p = 1; p <= kNamedModelCount; ++p)
            if (namedModels[p - 1] != nullptr && trace[n].args[1].s == namedModels[p - 1])
                position = p;
        positions.push_back(position);
    }
    return positions;
}

std::string Listed(const std::vector<int>& values)
{
    std::string text;
    for (int value : values)
        text += std::to_string(value) + " ";
    return text;
}

bool HasStep(const std::vector<int>& positions, int from, int to)
{
    for (size_t n = 1; n < positions.size(); ++n)
        if (positions[n - 1] == from && positions[n] == to)
            return true;
    return false;
}

// The models the player was given after the time.
std::vector<std::string> PlayerModelsSet(const std::vector<TraceRecord>& trace, int64_t after)
{
    std::vector<std::string> models;
    for (size_t n = IndexAfter(trace, after); n < trace.size(); ++n)
        if (IsCommand(trace[n], kSetPlayerModel.id))
            models.push_back(trace[n].args[1].s);
    return models;
}

TEST(PlayerModel, EveryChoiceStartsAtTheFirstPositionAndFadesAroundTheChange)
{
    const StudioSession session = ReachStudio();
    ASSERT_GE(session.readyAt, 0);
    FeatureSteps steps = StepsFrom(session);
    steps.Press("INSERT S").Page("PRIOR").Page("PRIOR").Press("BACK", 200, 1500);
    const int64_t again = steps.Now();
    steps.Press("INSERT S").Press("BACK", 200, 1500);
    const RunResult result = steps.Run();
    ASSERT_EQ(Errors(result.trace), "");

    EXPECT_EQ(PositionsShown(result.trace, session.readyAt), (std::vector<int> { 1, 2, 3, 1 }));
    EXPECT_EQ(PlayerModelsSet(result.trace, session.readyAt), (std::vector<std::string> { "BURGER", "BGA" }));

    // Discard the preview, fade out, wait 500 ms, change, fade in, wait 500 ms,
    // then the main loop's next pass.
    const std::vector<TraceRecord> commands = StudioCommandsAfter(result.trace, session.studioScript, again);
    size_t change = 0;
    while (change < commands.size() && commands[change].id != kSetPlayerModel.id)
        ++change;
    ASSERT_GE(change, 4u);
    ASSERT_LE(change + 7, commands.size());
    const int32_t character = CommandsWithId(result.trace, kGetCharacterHandle.id).back().out[1];
    const std::string c = std::to_string(character);
    std::vector<TraceRecord> around(commands.begin() + change - 3, commands.begin() + change + 7);
    EXPECT_EQ(Described(around), "0169(0,0,0) 016A(500,0) 0001(500) 0352(" + c + ",BGA) 038B() 0353(" + c +
                                     ") 0169(0,0,0) 016A(500,1) 0001(500) 0001(250)");
    EXPECT_EQ(commands[change - 4].id, kDiscardPed.id) << "the preview goes first";
    EXPECT_GE(commands[change].t - commands[change - 3].t, 500);
}

TEST(PlayerModel, PagingStepsOverTheTwoUnnamedPositionsBothWays)
{
    const StudioSession session = ReachStudio();
    ASSERT_GE(session.readyAt, 0);
    FeatureSteps steps = StepsFrom(session);
    steps.Press("INSERT S");
    for (int n = 0; n < 26; ++n)
        steps.Page("PRIOR");
    for (int n = 0; n < 3; ++n)
        steps.Page("NEXT");
    steps.Press("BACK", 200, 1500);
    const RunResult result = steps.Run();
    ASSERT_EQ(Errors(result.trace), "");

    const std::vector<int> positions = PositionsShown(result.trace, session.readyAt);
    ASSERT_EQ(positions.size(), 30u) << Listed(positions);
    EXPECT_TRUE(HasStep(positions, 24, 27)) << Listed(positions);
    EXPECT_TRUE(HasStep(positions, 27, 24)) << Listed(positions);
    EXPECT_EQ(std::count(positions.begin(), positions.end(), 0), 0)
        << "no unnamed position shown: " << Listed(positions);
    EXPECT_EQ(positions.back(), 24) << Listed(positions);
    EXPECT_EQ(PlayerModelsSet(result.trace, session.readyAt), (std::vector<std::string> { "IGCOLON" }));
}

TEST(PlayerModel, TheCatalogueWrapsAtBothEnds)
{
    const StudioSession session = ReachStudio();
    ASSERT_GE(session.readyAt, 0);
    FeatureSteps steps = StepsFrom(session);
    steps.Press("INSERT S").Page("NEXT").Page("PRIOR").Press("BACK", 200, 1500);
    const RunResult result = steps.Run();
    ASSERT_EQ(Errors(result.trace), "");
    EXPECT_EQ(PositionsShown(result.trace, session.readyAt), (std::vector<int> { 1, 73, 1 }));
}

TEST(PlayerModel, PositionThirtyOneShowsOneModelAndGivesTheOther)
{
    const StudioSession session = ReachStudio();
    ASSERT_GE(session.readyAt, 0);
    FeatureSteps steps = StepsFrom(session);
    steps.Press("INSERT S");
    for (int n = 0; n < 28; ++n)
        steps.Page("PRIOR");
    steps.Press("BACK", 200, 1500);
    const RunResult result = steps.Run();
    ASSERT_EQ(Errors(result.trace), "");
    const std::vector<int> positions = PositionsShown(result.trace, session.readyAt);
    ASSERT_FALSE(positions.empty());
    EXPECT_EQ(positions.back(), 31) << Listed(positions);
    EXPECT_EQ(PlayerModelsSet(result.trace, session.readyAt), (std::vector<std::string> { "IGMERC3" }));
}

}  // namespace
