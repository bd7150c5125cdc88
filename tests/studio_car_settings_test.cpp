// Car settings under Home and End: the speed steps and their texts, kept per
// slot, and the keys that send a setting without a text.
#include <gtest/gtest.h>

#include "tests/studio_feature_steps.h"

namespace {

// The speeds sent and the texts shown after the time, in order.
std::string SpeedsAndTexts(const RunResult& result, const StudioSession& session, int64_t after)
{
    std::vector<TraceRecord> wanted;
    for (const TraceRecord& record : StudioActionsAfter(result.trace, session.studioScript, after))
        if (record.id == 0x00AD || record.id == 0x00BC)
            wanted.push_back(record);
    return Described(wanted);
}

std::string Speed(int32_t car, const char* speed, const char* text)
{
    return "00AD(" + std::to_string(car) + "," + speed + ") 00BC(" + text + ",3000,1)";
}

TEST(CarSettings, SevenSpeedUpsClimbTheStepsAndStayAtTheTop)
{
    const StudioSession session = ReachStudio();
    ASSERT_GE(session.readyAt, 0);
    FeatureSteps steps = StepsFrom(session);
    steps.TextsOn().CreateCar(1);
    const int64_t driving = steps.Now();
    for (int n = 0; n < 7; ++n)
        steps.WithModifier("HOME", "E");
    const RunResult result = steps.Run();
    ASSERT_EQ(Errors(result.trace), "");
    const int32_t car = LastCarHandle(result.trace, driving);
    const std::string expected = Speed(car, "5.0", "!C1SPD1") + " " + Speed(car, "10.0", "!C1SPD2") + " " +
                                 Speed(car, "15.0", "!C1SPD3") + " " + Speed(car, "20.0", "!C1SPD4") + " " +
                                 Speed(car, "30.0", "!C1SPD5") + " " + Speed(car, "50.0", "!C1SPD6") + " " +
                                 Speed(car, "50.0", "!C1SPD6");
    EXPECT_EQ(SpeedsAndTexts(result, session, driving), expected);
}

TEST(CarSettings, SpeedDownBeforeAnySpeedSendsNothing)
{
    const StudioSession session = ReachStudio();
    ASSERT_GE(session.readyAt, 0);
    FeatureSteps steps = StepsFrom(session);
    steps.TextsOn().CreateCar(1);
    const int64_t driving = steps.Now();
    steps.WithModifier("HOME", "R");
    const int64_t later = steps.Now();
    steps.WithModifier("HOME", "E");
    const RunResult result = steps.Run();
    ASSERT_EQ(Errors(result.trace), "");
    const int32_t car = LastCarHandle(result.trace, driving);
    EXPECT_EQ(Described(StudioActionsBetween(result.trace, session.studioScript, driving, later)), "")
        << "R sends nothing and shows nothing at step 0";
    EXPECT_EQ(SpeedsAndTexts(result, session, later), Speed(car, "5.0", "!C1SPD1")) << "E still starts at step 1";
}

TEST(CarSettings, EndWithRStepsCarTwoDown)
{
    const StudioSession session = ReachStudio();
    ASSERT_GE(session.readyAt, 0);
    FeatureSteps steps = StepsFrom(session);
    steps.TextsOn().CreateCar(2);
    const int64_t driving = steps.Now();
    steps.WithModifier("END", "E").WithModifier("END", "E").WithModifier("END", "E");
    const int64_t slowing = steps.Now();
    steps.WithModifier("END", "R");
    const RunResult result = steps.Run();
    ASSERT_EQ(Errors(result.trace), "");
    const int32_t car = LastCarHandle(result.trace, driving);
    EXPECT_EQ(SpeedsAndTexts(result, session, slowing), Speed(car, "10.0", "!C2SPD2"));
}

TEST(CarSettings, TheSpeedStepBelongsToTheSlotAndOutlivesTheCar)
{
    const StudioSession session = ReachStudio();
    ASSERT_GE(session.readyAt, 0);
    FeatureSteps steps = StepsFrom(session);
    steps.CreateCar(1).WithModifier("HOME", "E").WithModifier("HOME", "E");
    steps.Press("DELETE 5").CreateCar(1);
    const int64_t again = steps.Now();
    steps.WithModifier("HOME", "E");
    const RunResult result = steps.Run();
    ASSERT_EQ(Errors(result.trace), "");
    const int32_t newCar = LastCarHandle(result.trace, again);
    EXPECT_EQ(Described(StudioActionsAfter(result.trace, session.studioScript, again)),
              "00AD(" + std::to_string(newCar) + ",15.0)");
}

TEST(CarSettings, SpaceSendsBehaviourZeroWithoutAText)
{
    const StudioSession session = ReachStudio();
    ASSERT_GE(session.readyAt, 0);
    FeatureSteps steps = StepsFrom(session);
    steps.TextsOn().CreateCar(1);
    const int64_t behaving = steps.Now();
    steps.WithModifier("HOME", "SPACE");
    const int64_t killing = steps.Now();
    steps.WithModifier("HOME", "I");
    const RunResult result = steps.Run();
    ASSERT_EQ(Errors(result.trace), "");
    const std::string car = std::to_string(LastCarHandle(result.trace, behaving));
    EXPECT_EQ(Described(StudioActionsBetween(result.trace, session.studioScript, behaving, killing)),
              "00AF(" + car + ",0)");
    EXPECT_EQ(Described(StudioActionsAfter(result.trace, session.studioScript, killing)),
              "00AF(" + car + ",2) 00BC(!C1BVR2,3000,1)");
}

}  // namespace
