// The weather key: six weathers in a ring, each named when texts are on.
#include <gtest/gtest.h>

#include "tests/studio_feature_steps.h"

using namespace hostsim;

namespace {

TEST(Weather, HeldInsertNineStepsTheRingAndTheSixthPressComesBackToSunny)
{
    const StudioSession session = ReachStudio();
    ASSERT_GE(session.readyAt, 0);
    FeatureSteps steps = StepsFrom(session);
    steps.TextsOn().Press("INSERT 9", 4500);
    const RunResult result = steps.Run();
    ASSERT_EQ(Errors(result.trace), "");

    const std::vector<TraceRecord> actions = StudioActionsAfter(result.trace, session.studioScript, session.readyAt);
    std::vector<TraceRecord> weather;
    for (const TraceRecord& record : actions)
        if (record.id == kSetWeather.id || (record.id == kShowText.id && record.args[0].s.rfind("!WEAT", 0) == 0))
            weather.push_back(record);
    ASSERT_GE(weather.size(), 14u) << "seven presses or more: " << Described(weather);
    EXPECT_EQ(Described({ weather.begin(), weather.begin() + 14 }),
              "01B6(1) 00BC(!WEAT1,3000,1) 01B6(2) 00BC(!WEAT2,3000,1) 01B6(3) 00BC(!WEAT3,3000,1) "
              "01B6(4) 00BC(!WEAT4,3000,1) 01B6(5) 00BC(!WEAT5,3000,1) 01B6(0) 00BC(!WEAT0,3000,1) "
              "01B6(1) 00BC(!WEAT1,3000,1)");
}

}  // namespace
