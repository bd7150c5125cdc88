// Car settings under Home and End: the speed steps and their texts, kept per
// slot, and the keys that send a setting without a text.
#include <gtest/gtest.h>

#include "tests/studio_feature_steps.h"

using namespace hostsim;

namespace {

// The speeds sent and the texts shown after the time, in order.
std::string SpeedsAndTexts(const RunResult& result, const StudioSession& session, int64_t after)
{
    std::vector<TraceRecord> wanted;
    for (const TraceRecord& record : StudioActionsAfter(result.trace, session.studioScript, after))
        if (record.id == kSetCarSpeed.id || record.id == kShowText.id)
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

// What the keys Q W E E R T Y U I O P Space send, in that order, to the car
// with the handle and show with texts on: values and texts as the studio's
// key list states them, written out here once.
std::string EveryKeySent(int car, int32_t handle)
{
    const std::string h = std::to_string(handle);
    const std::string c = std::to_string(car);
    const std::string text = ",3000,1)";
    return "00A9(" + h + ") 00BC(!DVNOR" + c + text + " 00A8(" + h + ") 00BC(!DVPSY" + c + text + " 00AD(" + h +
           ",5.0) 00BC(!C" + c + "SPD1" + text + " 00AD(" + h + ",10.0) 00BC(!C" + c + "SPD2" + text + " 00AD(" + h +
           ",5.0) 00BC(!C" + c + "SPD1" + text + " 02AC(" + h + ",1,1,1,1,1) 00BC(!IMM" + c + "ON" + text + " 02AC(" +
           h + ",0,0,0,0,0) 00BC(!IMM" + c + "OF" + text + " 00AF(" + h + ",1) 00BC(!C" + c + "BVR1" + text + " 00AF(" +
           h + ",2) 00BC(!C" + c + "BVR2" + text + " 00AF(" + h + ",4) 00BC(!C" + c + "BVR3" + text + " 00AF(" + h +
           ",8) 00BC(!C" + c + "BVR4" + text + " 00AF(" + h + ",0)";
}

TEST(CarSettings, EveryKeySendsItsValuesToTheCarItsModifierSelects)
{
    const StudioSession session = ReachStudio();
    ASSERT_GE(session.readyAt, 0);
    FeatureSteps steps = StepsFrom(session);
    steps.TextsOn().CreateCar(1);
    const int64_t carTwoMade = steps.Now();
    steps.CreateCar(2);
    const char* const keys[] = { "Q", "W", "E", "E", "R", "T", "Y", "U", "I", "O", "P", "SPACE" };
    int64_t from[3];
    for (int car = 1; car <= 2; ++car) {
        from[car - 1] = steps.Now();
        for (const char* key : keys)
            steps.WithModifier(car == 1 ? "HOME" : "END", key);
    }
    from[2] = steps.Now();
    const RunResult result = steps.Run();
    ASSERT_EQ(Errors(result.trace), "");
    const int32_t handles[2] = { LastCarHandle(result.trace, carTwoMade), LastCarHandle(result.trace, from[0]) };
    ASSERT_NE(handles[0], handles[1]);
    for (int car = 1; car <= 2; ++car)
        EXPECT_EQ(Described(StudioActionsBetween(result.trace, session.studioScript, from[car - 1], from[car])),
                  EveryKeySent(car, handles[car - 1]))
            << (car == 1 ? "Home" : "End") << " selects Car " << car;
}

}  // namespace
