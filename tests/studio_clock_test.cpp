// The clock mode, the freeze it ends with, the unfreeze, and the switch for
// confirmation texts.
#include <gtest/gtest.h>

#include "tests/studio_feature_steps.h"

using namespace hostsim;

namespace {

// The hours the clock mode showed with "NUMBER" after the time, in order.
std::vector<int> HoursShown(const std::vector<TraceRecord>& trace, int64_t after)
{
    std::vector<int> hours;
    for (size_t n = IndexAfter(trace, after); n < trace.size(); ++n)
        if (IsText(trace[n], "NUMBER") && trace[n].hasNumber)
            hours.push_back(trace[n].number);
    return hours;
}

std::string Listed(const std::vector<int>& values)
{
    std::string text;
    for (int value : values)
        text += std::to_string(value) + " ";
    return text;
}

int Count(const std::vector<std::string>& keys, const std::string& key)
{
    return static_cast<int>(std::count(keys.begin(), keys.end(), key));
}

// The index of the first action showing the text key, or actions.size().
size_t FindShown(const std::vector<TraceRecord>& actions, const std::string& key)
{
    for (size_t n = 0; n < actions.size(); ++n)
        if (actions[n].id == kShowText.id && actions[n].args[0].s == key)
            return n;
    return actions.size();
}

TEST(ClockMode, InsertZeroAndTStartTheClockModeAndLeaveTextsAlone)
{
    const StudioSession session = ReachStudio();
    ASSERT_GE(session.readyAt, 0);
    FeatureSteps steps = StepsFrom(session);
    steps.Press("INSERT 0 T").Press("BACK", 200).Press("INSERT 9");
    const RunResult result = steps.Run();
    ASSERT_EQ(Errors(result.trace), "");
    const std::vector<std::string> texts = TextKeysAfter(result.trace, session.readyAt);
    EXPECT_EQ(Count(texts, "!GMTXON"), 0) << "row 1 ends the pass before row 2";
    // Texts are still off: neither the freeze nor the weather is confirmed.
    EXPECT_EQ(Count(texts, "!TMEFON"), 0);
    EXPECT_EQ(Count(texts, "!WEAT1"), 0);
    EXPECT_LT(FindCommand(result.trace, kHoldWeather.id, IndexAfter(result.trace, session.readyAt)),
              result.trace.size())
        << "the clock mode ran and froze the clock";
}

TEST(ClockMode, InsertAndDeleteWithTShowBothTextsInOnePassAndLeaveTextsOff)
{
    const StudioSession session = ReachStudio();
    ASSERT_GE(session.readyAt, 0);
    FeatureSteps steps = StepsFrom(session);
    steps.Press("INSERT DELETE T").Press("INSERT 9");
    const RunResult result = steps.Run();
    ASSERT_EQ(Errors(result.trace), "");
    // One pair per pass that saw the four keys, both texts at one time; and
    // no weather text after them, texts being left off.
    const std::vector<TraceRecord> pairs =
        CommandsWithId(result.trace, kShowText.id, IndexAfter(result.trace, session.readyAt));
    ASSERT_FALSE(pairs.empty());
    ASSERT_EQ(pairs.size() % 2, 0u) << Described(pairs);
    for (size_t n = 0; n < pairs.size(); n += 2) {
        EXPECT_EQ(Described({ pairs[n], pairs[n + 1] }), "00BC(!GMTXON,3000,1) 00BC(!GMTXOF,3000,1)");
        EXPECT_EQ(pairs[n].t, pairs[n + 1].t);
    }
}

TEST(ClockMode, TheHourWrapsBothWays)
{
    const StudioSession session = ReachStudio();
    ASSERT_GE(session.readyAt, 0);
    FeatureSteps steps = StepsFrom(session);
    steps.Press("INSERT 0").Page("NEXT").Press("PRIOR", 200).Press("BACK", 200);
    const RunResult result = steps.Run();
    ASSERT_EQ(Errors(result.trace), "");
    // Page Down at 0 gives 23, then Page Up at 23 gives 0 and goes on by one.
    const std::vector<int> hours = HoursShown(result.trace, session.readyAt);
    ASSERT_GE(hours.size(), 3u) << Listed(hours);
    EXPECT_EQ(hours[0], 23) << Listed(hours);
    for (size_t n = 1; n < hours.size(); ++n)
        EXPECT_EQ(hours[n], static_cast<int>(n) - 1) << Listed(hours);
    // The clock follows each step at once, before the hour is shown.
    const std::vector<TraceRecord> actions = StudioActionsAfter(result.trace, session.studioScript, session.readyAt);
    ASSERT_GE(actions.size(), 2u);
    EXPECT_EQ(Described({ actions[0], actions[1] }), "00C0(23,0) 01E4(NUMBER,23,50,2)");
}

TEST(ClockMode, AConfirmedHourIsFrozenAndASecondModeMovesItWithoutAnotherText)
{
    const StudioSession session = ReachStudio();
    ASSERT_GE(session.readyAt, 0);
    FeatureSteps steps = StepsFrom(session);
    steps.TextsOn().Press("INSERT 0").Page("NEXT").Press("BACK", 200);
    const int64_t secondMode = steps.Now();
    steps.Press("INSERT 0").Page("NEXT").Page("NEXT").Press("BACK", 200);
    const int64_t frozenLater = steps.Now();
    const RunResult result = steps.Run();
    ASSERT_EQ(Errors(result.trace), "");

    // The confirm sends the hour, then freezes hour and weather.
    const std::vector<TraceRecord> actions = StudioActionsAfter(result.trace, session.studioScript, session.readyAt);
    const size_t confirmed = FindShown(actions, "!TMEFON");
    ASSERT_LT(confirmed, actions.size());
    ASSERT_GE(confirmed, 3u);
    EXPECT_EQ(Described({ actions.begin() + confirmed - 3, actions.begin() + confirmed + 1 }),
              "00C0(23,0) 00C0(23,0) 01B5(0) 00BC(!TMEFON,3000,1)");

    const std::vector<int> hours = HoursShown(result.trace, secondMode);
    EXPECT_EQ(hours, (std::vector<int> { 22, 21 })) << Listed(hours);
    EXPECT_EQ(Count(TextKeysAfter(result.trace, secondMode), "!TMEFON"), 0);
    const std::vector<TraceRecord> held = StudioActionsAfter(result.trace, session.studioScript, frozenLater);
    ASSERT_FALSE(held.empty());
    for (const TraceRecord& record : held) {
        if (record.id == kSetTimeOfDay.id) {
            EXPECT_EQ(record.args[0].i, 21) << "the hold steps keep the new hour";
        }
    }
}

TEST(ClockMode, UnfreezeSendsWeatherAndHourWhateverTheState)
{
    const StudioSession session = ReachStudio();
    ASSERT_GE(session.readyAt, 0);
    FeatureSteps steps = StepsFrom(session);
    steps.TextsOn();
    const int64_t notFrozen = steps.Now();
    steps.Press("DELETE 0");
    steps.Press("INSERT 0").Page("NEXT").Press("BACK", 200);
    const int64_t unfreeze = steps.Now();
    steps.Press("DELETE 0");
    const int64_t after = steps.Now();
    const RunResult result = steps.Run(2000);
    ASSERT_EQ(Errors(result.trace), "");

    std::vector<TraceRecord> actions = StudioActionsAfter(result.trace, session.studioScript, notFrozen);
    ASSERT_GE(actions.size(), 3u);
    EXPECT_EQ(Described({ actions.begin(), actions.begin() + 3 }), "01B6(0) 00C0(0,0) 00BC(!TMEFOF,3000,1)");

    actions = StudioActionsAfter(result.trace, session.studioScript, unfreeze);
    const size_t unfrozen = FindShown(actions, "!TMEFOF");
    ASSERT_LT(unfrozen, actions.size());
    ASSERT_GE(unfrozen, 2u);
    EXPECT_EQ(Described({ actions.begin() + unfrozen - 2, actions.begin() + unfrozen }), "01B6(0) 00C0(23,0)");
    for (const TraceRecord& record : StudioActionsAfter(result.trace, session.studioScript, after))
        EXPECT_NE(record.id, kHoldWeather.id) << "the weather is no longer held";
}

// While frozen the hour and weather are re-sent once per pass of a browse
// loop too, and a weather chosen meanwhile is the one held.
TEST(ClockMode, WhileFrozenEachBrowsePassHoldsTheHourAndTheLatestWeather)
{
    const StudioSession session = ReachStudio();
    ASSERT_GE(session.readyAt, 0);
    FeatureSteps steps = StepsFrom(session);
    steps.Press("INSERT 0").Page("NEXT").Page("NEXT").Press("BACK", 200);
    steps.Press("INSERT 9");
    const int64_t browsing = steps.Now();
    steps.Press("INSERT S", kOnePassMs, 2000);
    const int64_t browseEnd = steps.Now();
    steps.Press("BACK", 200, 1500);
    const RunResult result = steps.Run();
    ASSERT_EQ(Errors(result.trace), "");

    const std::vector<TraceRecord> held = CommandsWithId(result.trace, kHoldWeather.id);
    ASSERT_FALSE(held.empty());
    const int32_t weather = held.back().args[0].i;
    EXPECT_GE(weather, 1) << "Insert + 9 while frozen";

    // From the first preview on: one hold step for every three 0 ms waits.
    const std::vector<TraceRecord> commands = StudioCommandsAfter(result.trace, session.studioScript, browsing);
    size_t first = 0;
    while (first < commands.size() && commands[first].id != kCreatePed.id)
        ++first;
    ASSERT_LT(first, commands.size());
    int waits = 0, holds = 0;
    for (size_t n = first + 1; n + 1 < commands.size() && commands[n].t < browseEnd; ++n) {
        if (commands[n].id == kWait.id)
            ++waits;
        if (commands[n].id != kSetTimeOfDay.id)
            continue;
        ++holds;
        EXPECT_EQ(Described({ commands[n], commands[n + 1] }), "00C0(22,0) 01B5(" + std::to_string(weather) + ")");
    }
    EXPECT_GT(holds, 20);
    EXPECT_NEAR(waits, 3 * holds, 3) << waits << " waits, " << holds << " hold steps";
}

}  // namespace
