// What the engine keeps for a front end that shows a run as it goes, such as
// the studio window: the start point, the fixed camera, the clock's setting
// and the texts, as the trace tells them; and a live run, which passes every
// record on and keeps none.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scripts/boot.h"
#include "tests/studio_session.h"

using namespace hostsim;

namespace {

// The welcome cut-scene, the walk to the start point and the studio's start.
std::string WelcomeAndStart()
{
    return ArrivalScenario() + EndAt(kArrivalMs + 3000);
}

const TraceRecord* LastCommand(const std::vector<TraceRecord>& trace, uint16_t id)
{
    for (size_t n = trace.size(); n-- > 0;)
        if (IsCommand(trace[n], id))
            return &trace[n];
    return nullptr;
}

const TraceRecord* LastTextOfStyle(const std::vector<TraceRecord>& trace, bool title)
{
    for (size_t n = trace.size(); n-- > 0;)
        if (trace[n].kind == kTextRecord && (trace[n].style == 2) == title)
            return &trace[n];
    return nullptr;
}

TEST(LiveState, TheWorldKeepsWhatTheTraceTellsOfTheStartPointCameraClockAndTexts)
{
    const RunResult result = RunSession(WelcomeAndStart());
    ASSERT_EQ(Errors(result.trace), "");
    const HostWorld& world = CurrentHostWorld();
    const std::vector<TraceRecord>& trace = result.trace;

    const TraceRecord* marker = LastCommand(trace, kPlaceMarkerAtPoint.id);
    ASSERT_NE(marker, nullptr);
    EXPECT_TRUE(world.markers.empty()) << "taken off when the studio started";
    EXPECT_TRUE(world.pointMarkerPlaced) << "the start point stays where it was marked";
    EXPECT_EQ(world.lastPointMarkerX, marker->args[0].f);
    EXPECT_EQ(world.lastPointMarkerY, marker->args[1].f);

    const TraceRecord* camera = LastCommand(trace, kSetFixedCamera.id);
    ASSERT_NE(camera, nullptr) << "the welcome cut-scene places the fixed camera";
    EXPECT_EQ(world.cameraX, camera->args[0].f);
    EXPECT_EQ(world.cameraY, camera->args[1].f);
    const TraceRecord* look = LastCommand(trace, kPointCameraAt.id);
    EXPECT_EQ(world.cameraLooks, look && look > camera);
    if (world.cameraLooks) {
        EXPECT_EQ(world.cameraLookX, look->args[0].f);
        EXPECT_EQ(world.cameraLookY, look->args[1].f);
    }

    const TraceRecord* clock = LastCommand(trace, kSetTimeOfDay.id);
    ASSERT_NE(clock, nullptr);
    EXPECT_EQ(world.clockSetAt, clock->t);
    EXPECT_EQ(HostClockMinutes(world, clock->t), clock->args[0].i * 60 + clock->args[1].i);

    for (bool title : { true, false }) {
        const TraceRecord* text = LastTextOfStyle(trace, title);
        ASSERT_NE(text, nullptr) << (title ? "a title" : "a subtitle");
        const HostShownText& shown = title ? world.title : world.subtitle;
        EXPECT_EQ(shown.text, text->text);
        EXPECT_EQ(shown.number, text->number);
        EXPECT_EQ(shown.until, text->t + text->ms);
    }
}

std::vector<std::string> passedOn;

void PassOn(const TraceRecord& record)
{
    passedOn.push_back(TraceRecordJson(record));
}

TEST(LiveState, ALiveRunPassesOnEveryRecordOfTheTraceAndKeepsNone)
{
    const RunResult whole = RunSession(WelcomeAndStart());
    std::vector<std::string> kept;
    for (const TraceRecord& record : whole.trace)
        kept.push_back(TraceRecordJson(record));

    Scenario scenario;
    std::string error;
    ASSERT_TRUE(ParseScenario(WelcomeAndStart(), &scenario, &error)) << error;
    // From the module as it was at load, as the first run was.
    ResetModule();
    AttachDirectHost();
    passedOn.clear();
    const RunResult live = RunHost(scenario, DirectBinding(), PassOn, nullptr, kNoTrace);
    EXPECT_TRUE(live.trace.empty());
    EXPECT_EQ(live.errors, 0);
    EXPECT_TRUE(passedOn == kept) << passedOn.size() << " records passed on, " << kept.size() << " in the trace";
}

}  // namespace
