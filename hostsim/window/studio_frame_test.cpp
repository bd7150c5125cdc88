// The studio window's "picture changed" decision: a frame record that
// differs in any field it draws from must be drawn again, one that differs
// in none must not be, and the record must be built from the engine's state
// as the picture shows it.
#include "hostsim/window/studio_frame.h"

#include "game/command_catalogue.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <iterator>

namespace hostsim {

namespace {

    // How many fields a plain record has: the most initialisers its braces take.
    struct AnyField {
        template <typename T>
        operator T() const;
    };

    template <typename Record, typename... Fields>
    constexpr size_t FieldCount()
    {
        if constexpr (requires { Record { Fields {}..., AnyField {} }; })
            return FieldCount<Record, Fields..., AnyField>();
        else
            return sizeof...(Fields);
    }

    // A frame that shows one of everything, no field at its default.
    StudioFrame FullFrame()
    {
        StudioFrame frame = {};
        frame.camera = { 10, 20, 22, { 450, 360 } };
        frame.boxes = { { kCommand01E8.id, 1, 2, 3, 4, 5, 6 } };
        frame.objects = { { 7, 8, 9, 10 } };
        frame.carGenerators = { { 11, 12, 13, 14, 15 } };
        frame.player = { true, 1, 2, 3, 90, "PLAYER" };
        frame.cars = { { 5, 6, 45, 130, true, "car 130" } };
        frame.peds = { { 7, 8, 180, "ped 4" } };
        frame.markers = { { 30, 40 } };
        frame.startPointShown = true;
        frame.startPoint = { 50, 60 };
        frame.cameraShown = true;
        frame.cameraEye = { 70, 80 };
        frame.cameraLooks = true;
        frame.cameraTarget = { 90, 100 };
        frame.animationStep = 1200;
        frame.clockMinutes = 600;
        frame.clockState = "running";
        frame.weather = 2;
        frame.weatherHeld = true;
        frame.cutscene = true;
        frame.fixedCamera = true;
        frame.controlsLocked = true;
        frame.fadeAlpha = 128;
        frame.title = { "TITLE", 3 };
        frame.subtitle = { "subtitle", 4 };
        frame.hostSeconds = 12;
        frame.commandCount = 345;
        frame.status = { "takes/take.scn", "take saved", true };
        frame.pedCount = 1;
        frame.carCount = 1;
        frame.keysHeld = "Space";
        frame.commands = { { "s1 0001 0", 2 } };
        return frame;
    }

    typedef void (*Change)(StudioFrame&);
    struct FieldChange {
        const char* field;
        Change change;
    };

    // One change a field of the record itself; a field that holds a record of
    // its own is changed in each of its fields by the tables after this one.
    // clang-format off
const FieldChange kFrameChanges[] = {
    { "camera", [](StudioFrame& f) { f.camera.x += 1; } },
    { "boxes", [](StudioFrame& f) { f.boxes.push_back(f.boxes[0]); } },
    { "objects", [](StudioFrame& f) { f.objects.clear(); } },
    { "carGenerators", [](StudioFrame& f) { f.carGenerators.clear(); } },
    { "player", [](StudioFrame& f) { f.player.x += 1; } },
    { "cars", [](StudioFrame& f) { f.cars.clear(); } },
    { "peds", [](StudioFrame& f) { f.peds.clear(); } },
    { "markers", [](StudioFrame& f) { f.markers.push_back({ 1, 1 }); } },
    { "startPointShown", [](StudioFrame& f) { f.startPointShown = false; } },
    { "startPoint", [](StudioFrame& f) { f.startPoint.x += 1; } },
    { "cameraShown", [](StudioFrame& f) { f.cameraShown = false; } },
    { "cameraEye", [](StudioFrame& f) { f.cameraEye.y += 1; } },
    { "cameraLooks", [](StudioFrame& f) { f.cameraLooks = false; } },
    { "cameraTarget", [](StudioFrame& f) { f.cameraTarget.x += 1; } },
    { "animationStep", [](StudioFrame& f) { f.animationStep += 100; } },
    { "clockMinutes", [](StudioFrame& f) { f.clockMinutes += 1; } },
    { "clockState", [](StudioFrame& f) { f.clockState = "set"; } },
    { "weather", [](StudioFrame& f) { f.weather = 0; } },
    { "weatherHeld", [](StudioFrame& f) { f.weatherHeld = false; } },
    { "cutscene", [](StudioFrame& f) { f.cutscene = false; } },
    { "fixedCamera", [](StudioFrame& f) { f.fixedCamera = false; } },
    { "controlsLocked", [](StudioFrame& f) { f.controlsLocked = false; } },
    { "fadeAlpha", [](StudioFrame& f) { f.fadeAlpha = 0; } },
    { "title", [](StudioFrame& f) { f.title = {}; } },
    { "subtitle", [](StudioFrame& f) { f.subtitle = {}; } },
    { "hostSeconds", [](StudioFrame& f) { f.hostSeconds += 1; } },
    { "commandCount", [](StudioFrame& f) { f.commandCount += 1; } },
    { "status", [](StudioFrame& f) { f.status = {}; } },
    { "pedCount", [](StudioFrame& f) { f.pedCount += 1; } },
    { "carCount", [](StudioFrame& f) { f.carCount += 1; } },
    { "keysHeld", [](StudioFrame& f) { f.keysHeld.clear(); } },
    { "commands", [](StudioFrame& f) { f.commands.clear(); } },
};
    // clang-format on
    // clang-format off
const FieldChange kCameraChanges[] = {
    { "camera.x", [](StudioFrame& f) { f.camera.x += 1; } },
    { "camera.y", [](StudioFrame& f) { f.camera.y += 1; } },
    { "camera.scale", [](StudioFrame& f) { f.camera.scale += 1; } },
    { "camera.centre", [](StudioFrame& f) { f.camera.centre.x += 1; } },
};
    // clang-format on
    // clang-format off
const FieldChange kPointChanges[] = {
    { "markers[0].x", [](StudioFrame& f) { f.markers[0].x += 1; } },
    { "markers[0].y", [](StudioFrame& f) { f.markers[0].y += 1; } },
};
    // clang-format on
    // clang-format off
const FieldChange kBoxChanges[] = {
    { "boxes[0].command", [](StudioFrame& f) { f.boxes[0].command = kCommand022B.id; } },
    { "boxes[0].x1", [](StudioFrame& f) { f.boxes[0].x1 += 1; } },
    { "boxes[0].y1", [](StudioFrame& f) { f.boxes[0].y1 += 1; } },
    { "boxes[0].z1", [](StudioFrame& f) { f.boxes[0].z1 += 1; } },
    { "boxes[0].x2", [](StudioFrame& f) { f.boxes[0].x2 += 1; } },
    { "boxes[0].y2", [](StudioFrame& f) { f.boxes[0].y2 += 1; } },
    { "boxes[0].z2", [](StudioFrame& f) { f.boxes[0].z2 += 1; } },
};
    // clang-format on
    // clang-format off
const FieldChange kObjectChanges[] = {
    { "objects[0].model", [](StudioFrame& f) { f.objects[0].model += 1; } },
    { "objects[0].x", [](StudioFrame& f) { f.objects[0].x += 1; } },
    { "objects[0].y", [](StudioFrame& f) { f.objects[0].y += 1; } },
    { "objects[0].z", [](StudioFrame& f) { f.objects[0].z += 1; } },
};
    // clang-format on
    // clang-format off
const FieldChange kGeneratorChanges[] = {
    { "carGenerators[0].model", [](StudioFrame& f) { f.carGenerators[0].model += 1; } },
    { "carGenerators[0].x", [](StudioFrame& f) { f.carGenerators[0].x += 1; } },
    { "carGenerators[0].y", [](StudioFrame& f) { f.carGenerators[0].y += 1; } },
    { "carGenerators[0].z", [](StudioFrame& f) { f.carGenerators[0].z += 1; } },
    { "carGenerators[0].heading", [](StudioFrame& f) { f.carGenerators[0].heading += 1; } },
};
    // clang-format on
    // clang-format off
const FieldChange kPlayerChanges[] = {
    { "player.shown", [](StudioFrame& f) { f.player.shown = false; } },
    { "player.x", [](StudioFrame& f) { f.player.x += 1; } },
    { "player.y", [](StudioFrame& f) { f.player.y += 1; } },
    { "player.z", [](StudioFrame& f) { f.player.z += 1; } },
    { "player.heading", [](StudioFrame& f) { f.player.heading += 1; } },
    { "player.model", [](StudioFrame& f) { f.player.model.clear(); } },
};
    // clang-format on
    // clang-format off
const FieldChange kCarChanges[] = {
    { "cars[0].x", [](StudioFrame& f) { f.cars[0].x += 1; } },
    { "cars[0].y", [](StudioFrame& f) { f.cars[0].y += 1; } },
    { "cars[0].heading", [](StudioFrame& f) { f.cars[0].heading += 1; } },
    { "cars[0].model", [](StudioFrame& f) { f.cars[0].model += 1; } },
    { "cars[0].driven", [](StudioFrame& f) { f.cars[0].driven = false; } },
    { "cars[0].label", [](StudioFrame& f) { f.cars[0].label += ": psycho driving"; } },
};
    // clang-format on
    // clang-format off
const FieldChange kPersonChanges[] = {
    { "peds[0].x", [](StudioFrame& f) { f.peds[0].x += 1; } },
    { "peds[0].y", [](StudioFrame& f) { f.peds[0].y += 1; } },
    { "peds[0].heading", [](StudioFrame& f) { f.peds[0].heading += 1; } },
    { "peds[0].label", [](StudioFrame& f) { f.peds[0].label += ": anim 19, 2 s"; } },
};
    // clang-format on
    // clang-format off
const FieldChange kTextChanges[] = {
    { "title.text", [](StudioFrame& f) { f.title.text += "!"; } },
    { "title.number", [](StudioFrame& f) { f.title.number += 1; } },
};
    // clang-format on
    // clang-format off
const FieldChange kStatusChanges[] = {
    { "status.takePath", [](StudioFrame& f) { f.status.takePath += "x"; } },
    { "status.notice", [](StudioFrame& f) { f.status.notice.clear(); } },
    { "status.ended", [](StudioFrame& f) { f.status.ended = false; } },
};
    // clang-format on
    // clang-format off
const FieldChange kCommandChanges[] = {
    { "commands[0].line", [](StudioFrame& f) { f.commands[0].line += " 1"; } },
    { "commands[0].repeats", [](StudioFrame& f) { f.commands[0].repeats += 1; } },
};
    // clang-format on

    // A field added to a record without its change here would go unchecked.
    static_assert(std::size(kFrameChanges) == FieldCount<StudioFrame>(), "a change for each field of StudioFrame");
    static_assert(std::size(kCameraChanges) == FieldCount<ViewCamera>(), "a change for each field of ViewCamera");
    static_assert(std::size(kPointChanges) == FieldCount<Point>(), "a change for each field of Point");
    static_assert(std::size(kBoxChanges) == FieldCount<HostBox>(), "a change for each field of HostBox");
    static_assert(std::size(kObjectChanges) == FieldCount<HostObject>(), "a change for each field of HostObject");
    static_assert(std::size(kGeneratorChanges) == FieldCount<HostCarGenerator>(),
                  "a change for each field of HostCarGenerator");
    static_assert(std::size(kPlayerChanges) == FieldCount<FramePlayer>(), "a change for each field of FramePlayer");
    static_assert(std::size(kCarChanges) == FieldCount<FrameCar>(), "a change for each field of FrameCar");
    static_assert(std::size(kPersonChanges) == FieldCount<FramePerson>(), "a change for each field of FramePerson");
    static_assert(std::size(kTextChanges) == FieldCount<FrameText>(), "a change for each field of FrameText");
    static_assert(std::size(kStatusChanges) == FieldCount<PanelStatus>(), "a change for each field of PanelStatus");
    static_assert(std::size(kCommandChanges) == FieldCount<ListedCommand>(),
                  "a change for each field of ListedCommand");

    template <size_t N>
    void ExpectEachRedraws(const FieldChange (&changes)[N])
    {
        const StudioFrame shown = FullFrame();
        for (const FieldChange& change : changes) {
            StudioFrame next = shown;
            change.change(next);
            EXPECT_FALSE(next == shown) << "a change of " << change.field << " is not drawn";
        }
    }

    TEST(StudioFrame, TheSameFrameIsNotDrawnAgain)
    {
        EXPECT_TRUE(FullFrame() == FullFrame());
        EXPECT_TRUE(StudioFrame {} == StudioFrame {});
    }

    TEST(StudioFrame, EveryFieldThatChangesIsDrawnAgain)
    {
        ExpectEachRedraws(kFrameChanges);
        ExpectEachRedraws(kCameraChanges);
        ExpectEachRedraws(kPointChanges);
        ExpectEachRedraws(kBoxChanges);
        ExpectEachRedraws(kObjectChanges);
        ExpectEachRedraws(kGeneratorChanges);
        ExpectEachRedraws(kPlayerChanges);
        ExpectEachRedraws(kCarChanges);
        ExpectEachRedraws(kPersonChanges);
        ExpectEachRedraws(kTextChanges);
        ExpectEachRedraws(kStatusChanges);
        ExpectEachRedraws(kCommandChanges);
    }

    // --- Building the frame from the engine's state ----------------------------------

    StudioFrame Built(const HostWorld& world, int64_t now, const PanelCommands& commands = {})
    {
        StudioFrame frame = {};
        BuildStudioFrame(frame, world, now, ViewZoom(), PanelStatus(), commands, "");
        return frame;
    }

    // The window builds each frame over the last one it built.
    TEST(StudioFrame, AFrameBuiltOverAnotherKeepsNothingOfIt)
    {
        HostWorld world;
        world.player.exists = true;
        world.cars[1].model = 130;
        world.peds[2].model = 4;
        StudioFrame over = FullFrame();
        BuildStudioFrame(over, world, 0, ViewZoom(), PanelStatus(), PanelCommands(), "");
        EXPECT_TRUE(over == Built(world, 0));
    }

    TEST(StudioFrame, AMarkerOnACarOrAPedIsShownWhereItIsAndGoesWithIt)
    {
        HostWorld world;
        world.cars[1].x = 10;
        world.cars[1].y = 20;
        world.peds[2].x = 30;
        world.peds[2].y = 40;
        world.peds[3].inCar = true;
        world.peds[3].car = 1;
        world.markers[4] = { kMarkerOnCar, 1 };
        world.markers[5] = { kMarkerOnPed, 2 };
        world.markers[6] = { kMarkerOnPed, 3 };             // in car 1: shown with it
        world.markers[7] = { kMarkerOnCar, 99 };            // on a car that is gone
        world.markers[8] = { kMarkerAtPoint, 0, 0, 0, 0 };  // a point marker at the map's origin is still shown
        EXPECT_EQ(Built(world, 0).markers, (std::vector<Point> { { 10, 20 }, { 30, 40 }, { 10, 20 }, { 0, 0 } }));
        world.cars[1].x = 11;
        world.peds[2].y = 41;
        EXPECT_EQ(Built(world, 0).markers, (std::vector<Point> { { 11, 20 }, { 30, 41 }, { 11, 20 }, { 0, 0 } }));
    }

    // The script threads wait every frame, and every wait counts as a command:
    // an idle studio must not draw a frame for each.
    TEST(StudioFrame, AnIdleStudioIsDrawnOnceASecond)
    {
        HostWorld world;
        world.player.exists = true;
        PanelCommands commands;
        TraceRecord wait;
        wait.kind = kCommandRecord;
        wait.id = kWait.id;
        int redraws = 0;
        StudioFrame shown = Built(world, 0, commands);
        for (int64_t now = 20; now <= 3000; now += 20) {
            wait.t = now - 20;
            ListCommand(commands, wait);
            StudioFrame next = Built(world, now, commands);
            redraws += !(next == shown);
            shown = next;
        }
        EXPECT_EQ(redraws, 3);
        EXPECT_EQ(shown.commandCount, 150);  // every wait before host time 3 s, which the panel shows
    }

    // The panel names each command the host's table names, beside its id, and
    // leaves the waits out.
    TEST(StudioFrame, ThePanelListsCommandsWithTheirNamesAndNoWaits)
    {
        PanelCommands commands;
        TraceRecord heading;
        heading.id = kSetCarHeading.id;
        heading.args = { { 'v', 174, 0, "", 0 }, { 'f', 0, 90, "", 0 } };
        heading.out = { 174 };
        TraceRecord unnamed;
        unnamed.script = 1;
        unnamed.id = kCommand004E.id;
        TraceRecord wait;
        wait.id = kWait.id;
        wait.args = { { 'i', 250 } };
        for (const TraceRecord& record : { heading, wait, unnamed, unnamed })
            ListCommand(commands, record);
        ASSERT_EQ(commands.listed.size(), 2u);
        EXPECT_EQ(commands.listed[0].line, "s0 0175 set car heading @0 90.00 -> 174");
        EXPECT_EQ(commands.listed[1].line, "s1 004E");
        EXPECT_EQ(commands.listed[1].repeats, 2);
        EXPECT_EQ(commands.count, 4);
    }

    TEST(StudioFrame, TheClockRunsAMinuteASecondFromItsSettingAndAFreezeHoldsIt)
    {
        HostWorld world;
        world.clockHour = 23;
        world.clockMinute = 59;
        world.clockSetAt = 5000;
        EXPECT_EQ(Built(world, 5500).clockMinutes, 23 * 60 + 59);
        EXPECT_EQ(Built(world, 5500).clockState, "set");
        EXPECT_EQ(Built(world, 6000).clockMinutes, 0);  // past midnight
        EXPECT_EQ(Built(world, 7000).clockMinutes, 1);
        EXPECT_EQ(Built(world, 7000).clockState, "running");
        world.weatherHeld = true;
        EXPECT_EQ(Built(world, 90000).clockMinutes, 23 * 60 + 59);
        EXPECT_EQ(Built(world, 90000).clockState, "frozen");
    }

    TEST(StudioFrame, TheFixedCameraViewIsCentredBetweenTheCameraAndWhatItLooksAt)
    {
        HostWorld world;
        world.player.x = 500;
        world.fixedCamera = true;
        world.cameraX = 10;
        world.cameraY = 20;
        EXPECT_EQ(Built(world, 0).camera, (ViewCamera { 10, 20, ViewZoom().scale }));
        world.cameraLooks = true;
        world.cameraLookX = 30;
        world.cameraLookY = 40;
        EXPECT_EQ(Built(world, 0).camera, (ViewCamera { 20, 30, ViewZoom().scale }));
        world.fixedCamera = false;
        EXPECT_EQ(Built(world, 0).camera, (ViewCamera { 500, 0, ViewZoom().scale }));
    }

}  // namespace

}  // namespace hostsim
