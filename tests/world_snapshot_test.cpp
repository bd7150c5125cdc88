// The substitute's world as snapshots show it: things made on one spot stand
// apart, cars drive only when told and as told, labels carry the last
// direction, and the record says all of it the same way every run.
#include <gtest/gtest.h>

#include <cmath>

#include "hostsim/record/snapshot.h"
#include "scripts/boot_data.h"
#include "tests/studio_feature_steps.h"

using namespace hostsim;

namespace {

struct Snapshot {
    int64_t t;
    HostWorld world;
    std::string json;
};

std::vector<Snapshot>* taken = nullptr;

void TakeSnapshot(const TraceRecord& record)
{
    if (record.kind == kWorldRecord)
        taken->push_back({ record.t, CurrentHostWorld(), TraceRecordJson(record) });
}

struct SnapshotRun {
    RunResult result;
    std::vector<Snapshot> snapshots;
};

SnapshotRun RunWithSnapshots(const std::string& scenario)
{
    SnapshotRun run;
    taken = &run.snapshots;
    ReinitScripts();
    run.result = RunScenarioText(scenario, TakeSnapshot);
    taken = nullptr;
    return run;
}

// The steps run on from the studio's main loop, for endAfterMs after the last.
SnapshotRun RunSteps(const FeatureSteps& steps, int64_t endAfterMs)
{
    return RunWithSnapshots(steps.script.session.prefix + steps.script.lines + EndAt(steps.Now() + endAfterMs));
}

float Distance(float ax, float ay, float az, float bx, float by, float bz)
{
    return std::sqrt((ax - bx) * (ax - bx) + (ay - by) * (ay - by) + (az - bz) * (az - bz));
}

float Apart(const HostCar& a, const HostCar& b)
{
    return Distance(a.x, a.y, a.z, b.x, b.y, b.z);
}

// Snapshots 5 s apart, from the time, counted from the main loop's start.
FeatureSteps& SnapshotsAt(FeatureSteps& steps, int64_t first, int64_t second)
{
    steps.script.At(first, "snapshot").At(second, "snapshot");
    return steps;
}

TEST(WorldSnapshot, FourPedsOfGroupFourMadeOnOneSpotStandApart)
{
    const StudioSession session = ReachStudio();
    ASSERT_GE(session.readyAt, 0);
    FeatureSteps steps = StepsFrom(session);
    const int64_t making = steps.Now();
    steps.CreateGroup(4);
    steps.script.At(steps.t, "snapshot");
    const SnapshotRun run = RunSteps(steps, 100);
    ASSERT_EQ(Errors(run.result.trace), "");
    ASSERT_EQ(run.snapshots.size(), 1u);
    const std::vector<int32_t> group = GroupPedHandles(run.result.trace, making);
    ASSERT_EQ(group.size(), 4u);

    const std::vector<TraceRecord> made = CommandsWithId(run.result.trace, kCreatePed.id);
    const TraceRecord& first = made[made.size() - 4];
    for (size_t n = made.size() - 4; n < made.size(); ++n)
        for (int coordinate = 2; coordinate <= 4; ++coordinate)
            EXPECT_EQ(made[n].args[coordinate].f, first.args[coordinate].f)
                << "the trace keeps the one spot the module sent";

    const HostWorld& world = run.snapshots[0].world;
    for (size_t a = 0; a < group.size(); ++a) {
        for (size_t b = a + 1; b < group.size(); ++b) {
            const HostPed& one = world.peds.at(group[a]);
            const HostPed& other = world.peds.at(group[b]);
            EXPECT_GE(Distance(one.x, one.y, 0, other.x, other.y, 0), 0.5f)
                << "peds #" << group[a] << " and #" << group[b];
        }
    }
    for (int32_t handle : group) {
        const HostPed& ped = world.peds.at(handle);
        EXPECT_LE(Distance(ped.x, ped.y, 0, first.args[2].f, first.args[3].f, 0), 3.0f)
            << "placed near the spot, not far off";
    }
}

TEST(WorldSnapshot, ACarNothingToldToMoveStandsWhereItWasMade)
{
    const StudioSession session = ReachStudio();
    ASSERT_GE(session.readyAt, 0);
    FeatureSteps steps = StepsFrom(session);
    steps.CreateCar(1);
    SnapshotsAt(steps, steps.t, steps.t + 5000);
    const SnapshotRun run = RunSteps(steps, 5100);
    ASSERT_EQ(Errors(run.result.trace), "");
    ASSERT_EQ(run.snapshots.size(), 2u);
    const int32_t car = LastCarHandle(run.result.trace, steps.Now());
    const HostCar& made = run.snapshots[0].world.cars.at(car);
    const HostCar& later = run.snapshots[1].world.cars.at(car);
    EXPECT_EQ(Apart(made, later), 0.0f);
    EXPECT_EQ(later.heading, made.heading);
    EXPECT_EQ(later.speed, 0.0f);
}

TEST(WorldSnapshot, PsychoDrivingAtTenMovesCarOneTwentyFiveToSeventyFiveUnitsInFiveSeconds)
{
    const StudioSession session = ReachStudio();
    ASSERT_GE(session.readyAt, 0);
    FeatureSteps steps = StepsFrom(session);
    steps.TextsOn().CreateCar(1).WithModifier("HOME", "W").WithModifier("HOME", "E").WithModifier("HOME", "E");
    SnapshotsAt(steps, steps.t, steps.t + 5000);
    const SnapshotRun run = RunSteps(steps, 5100);
    ASSERT_EQ(Errors(run.result.trace), "");
    ASSERT_EQ(run.snapshots.size(), 2u);
    const int32_t car = LastCarHandle(run.result.trace, steps.Now());
    const HostCar& before = run.snapshots[0].world.cars.at(car);
    const HostCar& after = run.snapshots[1].world.cars.at(car);
    EXPECT_EQ(before.style, kPsychoDriving);
    EXPECT_EQ(before.doing, "speed 10");
    EXPECT_EQ(after.speed, 10.0f);
    EXPECT_GE(Apart(before, after), 25.0f);
    EXPECT_LE(Apart(before, after), 75.0f);
}

TEST(WorldSnapshot, DriveToThePlayerAndStopEndsNearThePlayerStanding)
{
    const StudioSession session = ReachStudio();
    ASSERT_GE(session.readyAt, 0);
    FeatureSteps steps = StepsFrom(session);
    steps.TextsOn().CreateCar(1);
    // The player walks off 60 units first, so that the car has a way to go.
    steps.script.At(steps.t, "player 1003.09 -396.49 55.74");
    steps.WithModifier("HOME", "E").WithModifier("HOME", "E").WithModifier("HOME", "E").WithModifier("HOME", "O");
    SnapshotsAt(steps, steps.t + 1000, steps.t + 9000);
    const SnapshotRun run = RunSteps(steps, 9100);
    ASSERT_EQ(Errors(run.result.trace), "");
    ASSERT_EQ(run.snapshots.size(), 2u);
    const int32_t car = LastCarHandle(run.result.trace, steps.Now());
    const HostCar& driving = run.snapshots[0].world.cars.at(car);
    EXPECT_EQ(driving.doing, "drive to the player and stop");
    EXPECT_EQ(driving.speed, 15.0f) << "on its way at its speed";
    const HostCar& stopped = run.snapshots[1].world.cars.at(car);
    const HostPlayer& player = run.snapshots[1].world.player;
    EXPECT_LE(Distance(stopped.x, stopped.y, stopped.z, player.x, player.y, player.z), 10.0f);
    EXPECT_EQ(stopped.speed, 0.0f);
}

TEST(WorldSnapshot, TheTutorialCarHeadsForTheParkingSpotAtItsSpeedUntilDeleted)
{
    std::string scenario = ArrivalScenario();
    for (int64_t t = 40000; t <= 62000; t += 1000)
        scenario += At(t, "snapshot");
    const SnapshotRun run = RunWithSnapshots(scenario + EndAt(62000));
    ASSERT_EQ(Errors(run.result.trace), "");
    const std::vector<TraceRecord> sent = CommandsWithId(run.result.trace, kDriveCarTo.id);
    ASSERT_EQ(sent.size(), 1u);
    const int32_t car = sent[0].args[0].i;
    const float spotX = sent[0].args[1].f, spotY = sent[0].args[2].f, spotZ = sent[0].args[3].f;
    const std::vector<TraceRecord> speeds = CommandsWithId(run.result.trace, kSetCarSpeed.id);
    ASSERT_FALSE(speeds.empty());
    const float speed = speeds[0].args[1].f;

    std::vector<float> distances;
    for (const Snapshot& snapshot : run.snapshots) {
        std::map<int32_t, HostCar>::const_iterator found = snapshot.world.cars.find(car);
        if (snapshot.t <= sent[0].t || found == snapshot.world.cars.end())
            continue;
        const HostCar& on = found->second;
        EXPECT_EQ(on.speed, speed) << "at " << snapshot.t;
        EXPECT_NE(on.driver, 0) << "the tutorial's ped sat in before it drove off";
        distances.push_back(Distance(on.x, on.y, on.z, spotX, spotY, spotZ));
    }
    ASSERT_GE(distances.size(), 3u) << "drives for some seconds";
    for (size_t n = 1; n < distances.size(); ++n)
        EXPECT_NEAR(distances[n - 1] - distances[n], speed, 0.01f) << "a second nearer at its speed";
    EXPECT_FALSE(run.snapshots.back().world.cars.count(car)) << "deleted by the set-up";
}

TEST(WorldSnapshot, LabelsNameTheModelAndTheLastDirection)
{
    const StudioSession session = ReachStudio();
    ASSERT_GE(session.readyAt, 0);
    FeatureSteps steps = StepsFrom(session);
    const int64_t making = steps.Now();
    // Group 1's ped waved at (Left Shift + Q: animation 19 for 2 s), then
    // sent into Car 1 (Left Shift + N); then the player's model choice shows
    // a named model.
    steps.TextsOn().CreateGroup(1).CreateCar(1).WithModifier("LSHIFT", "Q");
    steps.script.At(steps.t, "snapshot");
    steps.WithModifier("LSHIFT", "N");
    steps.script.At(steps.t, "snapshot");
    steps.Press("INSERT S", 700, 1000);
    steps.script.At(steps.t, "snapshot");
    const SnapshotRun run = RunSteps(steps, 100);
    ASSERT_EQ(Errors(run.result.trace), "");
    ASSERT_EQ(run.snapshots.size(), 3u);
    const std::vector<int32_t> group = GroupPedHandles(run.result.trace, making);
    ASSERT_FALSE(group.empty());
    const int32_t car = LastCarHandle(run.result.trace, steps.Now());
    EXPECT_EQ(run.snapshots[0].world.cars.at(car).slot, 1) << "confirmed as Car 1";
    EXPECT_EQ(run.snapshots[0].world.peds.at(group[0]).doing, "anim 19, 2 s");
    EXPECT_EQ(run.snapshots[1].world.peds.at(group[0]).doing, "into Car 1");

    const std::vector<TraceRecord> loads = CommandsWithId(run.result.trace, kLoadSpecialModel.id);
    ASSERT_FALSE(loads.empty());
    const TraceRecord& load = loads.back();
    bool named = false;
    for (const auto& [handle, ped] : run.snapshots[2].world.peds) {
        if (ped.model == kFirstSpecialModel + load.args[0].i) {
            EXPECT_EQ(ped.name, load.args[1].s);
            named = true;
        } else {
            EXPECT_EQ(ped.name, "") << "a numbered model has no name";
        }
    }
    EXPECT_TRUE(named) << "a ped of the loaded named model";
}

TEST(WorldSnapshot, APedSentIntoACarWalksThereAndSitsIn)
{
    // The tutorial sends its ped into its car and then drives the car off.
    std::string scenario = ArrivalScenario();
    for (int64_t t = 40000; t <= 56000; t += 250)
        scenario += At(t, "snapshot");
    const SnapshotRun run = RunWithSnapshots(scenario + EndAt(56000));
    ASSERT_EQ(Errors(run.result.trace), "");
    const std::vector<TraceRecord> sent = CommandsWithId(run.result.trace, kCommand01D5.id);
    ASSERT_FALSE(sent.empty());
    const int32_t ped = sent[0].args[0].i, car = sent[0].args[1].i;
    float lastDistance = INFINITY;
    bool walked = false, satIn = false;
    for (const Snapshot& snapshot : run.snapshots) {
        if (snapshot.t <= sent[0].t || !snapshot.world.peds.count(ped) || !snapshot.world.cars.count(car))
            continue;
        const HostPed& walker = snapshot.world.peds.at(ped);
        const HostCar& into = snapshot.world.cars.at(car);
        EXPECT_EQ(walker.doing, "into car #" + std::to_string(car));
        const float distance = Distance(walker.x, walker.y, 0, into.x, into.y, 0);
        if (!walker.inCar) {
            EXPECT_FALSE(satIn) << "once in, it stays in";
            EXPECT_LT(distance, lastDistance) << "walking to the car at " << snapshot.t;
            walked = true;
        } else {
            satIn = true;
            EXPECT_EQ(into.driver, ped);
            EXPECT_EQ(distance, 0.0f) << "goes where the car goes";
        }
        lastDistance = distance;
    }
    EXPECT_TRUE(walked);
    EXPECT_TRUE(satIn);
}

TEST(WorldSnapshot, TheSameScenarioGivesTheSameSnapshots)
{
    const StudioSession session = ReachStudio();
    ASSERT_GE(session.readyAt, 0);
    FeatureSteps steps = StepsFrom(session);
    steps.CreateGroup(4).CreateCar(1).WithModifier("HOME", "W").WithModifier("HOME", "E");
    for (int64_t after = 0; after <= 6000; after += 2000)
        steps.script.At(steps.t + after, "snapshot");
    const SnapshotRun once = RunSteps(steps, 6100);
    const SnapshotRun again = RunSteps(steps, 6100);
    ASSERT_EQ(once.snapshots.size(), 4u);
    ASSERT_EQ(again.snapshots.size(), once.snapshots.size());
    for (size_t n = 0; n < once.snapshots.size(); ++n)
        EXPECT_EQ(again.snapshots[n].json, once.snapshots[n].json);
    EXPECT_NE(once.snapshots.front().json, once.snapshots.back().json) << "the psycho car moved meanwhile";
}

// The boot's boxes, objects and car generators, as the boot's tables hold them.
void ExpectTheCityOfTheBoot(const HostWorld& world)
{
    ASSERT_EQ(world.boxes.size(), static_cast<size_t>(kAreaCount));
    for (int n = 0; n < kAreaCount; ++n) {
        const HostBox& box = world.boxes[n];
        const AreaRow& row = kAreas[n];
        EXPECT_EQ(box.command, row.command) << "box " << n + 1;
        EXPECT_EQ(box.x1, row.x1) << "box " << n + 1;
        EXPECT_EQ(box.z1, row.z1) << "box " << n + 1;
        EXPECT_EQ(box.y2, row.y2) << "box " << n + 1;
    }
    ASSERT_EQ(world.objects.size(), static_cast<size_t>(kObjectCount));
    for (int n = 0; n < kObjectCount; ++n) {
        EXPECT_EQ(world.objects[n].model, kObjects[n].model) << "object " << n + 1;
        EXPECT_EQ(world.objects[n].y, kObjects[n].y) << "object " << n + 1;
    }
    ASSERT_EQ(world.carGenerators.size(), static_cast<size_t>(kCarGeneratorCount));
    for (int n = 0; n < kCarGeneratorCount; ++n) {
        EXPECT_EQ(world.carGenerators[n].model, kCarGenerators[n].model) << "generator " << n + 1;
        EXPECT_EQ(world.carGenerators[n].x, kCarGenerators[n].x) << "generator " << n + 1;
        EXPECT_EQ(world.carGenerators[n].heading, kCarGenerators[n].heading) << "generator " << n + 1;
    }
}

TEST(WorldSnapshot, TheCityIsWhatEachBootSent)
{
    const SnapshotRun run = RunWithSnapshots("at 1000 snapshot\nat 2000 reinit\nat 4000 snapshot\nend 4000\n");
    ASSERT_EQ(Errors(run.result.trace), "");
    ASSERT_EQ(run.snapshots.size(), 2u);
    ExpectTheCityOfTheBoot(run.snapshots[0].world);
    ExpectTheCityOfTheBoot(run.snapshots[1].world);  // laid out anew, not twice
}

TEST(WorldSnapshot, TheRecordHoldsEveryThingWithItsLabel)
{
    HostWorld world;
    world.player.x = 1;
    world.player.y = -2.5f;
    world.player.z = 3;
    world.player.heading = 90;
    world.player.model = "PLAYER";
    HostPed named;
    named.model = 109;
    named.name = "BURGER";
    named.x = 10.004f;
    named.doing = "anim 19, 2 s";
    world.peds[7] = named;
    HostPed numbered;
    numbered.model = 4;
    numbered.doing = "say \"hi\"";
    world.peds[8] = numbered;
    HostCar car;
    car.model = 130;
    car.x = -0.001f;
    car.heading = 315;
    car.speed = 10;
    car.doing = "psycho driving";
    car.driver = 7;
    world.cars[9] = car;
    world.markers[11] = { kMarkerAtPoint, 0, 5, 6, 7 };
    world.markers[12] = { kMarkerOnCar, 9 };  // the record has always told it at no point: (0, 0, 0)
    world.clockHour = 21;
    world.clockMinute = 5;
    world.weather = 2;
    TraceRecord record;
    record.t = 1500;
    record.kind = kWorldRecord;
    record.world = WorldJson(world);
    EXPECT_EQ(TraceRecordJson(record),
              "{\"t\":1500,\"kind\":\"world\","
              "\"player\":{\"x\":1.00,\"y\":-2.50,\"z\":3.00,\"heading\":90.00,\"model\":\"PLAYER\"},"
              "\"peds\":[{\"handle\":7,\"model\":109,\"name\":\"BURGER\",\"x\":10.00,\"y\":0.00,\"z\":0.00,"
              "\"heading\":0.00,\"doing\":\"anim 19, 2 s\",\"inCar\":false},"
              "{\"handle\":8,\"model\":4,\"name\":null,\"x\":0.00,\"y\":0.00,\"z\":0.00,"
              "\"heading\":0.00,\"doing\":\"say \\\"hi\\\"\",\"inCar\":false}],"
              "\"cars\":[{\"handle\":9,\"model\":130,\"x\":0.00,\"y\":0.00,\"z\":0.00,\"heading\":315.00,"
              "\"speed\":10.00,\"doing\":\"psycho driving\",\"driver\":7}],"
              "\"markers\":[{\"handle\":11,\"x\":5.00,\"y\":6.00,\"z\":7.00},"
              "{\"handle\":12,\"x\":0.00,\"y\":0.00,\"z\":0.00}],"
              "\"clock\":\"21:05\",\"weather\":2}");
}

}  // namespace
