// The readable log: named models by name, directions to peds and cars, a
// state sent again and again told once, and the texts' colour codes.
#include <gtest/gtest.h>

#include "game/command_catalogue.h"
#include "hostsim/record/readable_log.h"

using namespace hostsim;

namespace {

// An argument of the kind: 'i' and 'v' (a handle) with n, 'f' with n as a
// float, 's' with the label.
TraceArgument Arg(char kind, float n, const std::string& label = "")
{
    TraceArgument argument;
    argument.kind = kind;
    argument.i = static_cast<int32_t>(n);
    argument.f = n;
    argument.s = label;
    return argument;
}

TraceArgument Int(int32_t value)
{
    return Arg('i', static_cast<float>(value));
}
TraceArgument Float(float value)
{
    return Arg('f', value);
}
TraceArgument Handle(int32_t handle)
{
    return Arg('v', static_cast<float>(handle));
}

TraceRecord Command(int64_t t, uint16_t id, std::vector<TraceArgument> args, std::vector<int32_t> out = {})
{
    TraceRecord record;
    record.t = t;
    record.kind = kCommandRecord;
    record.id = id;
    record.args = std::move(args);
    record.out = std::move(out);
    return record;
}

TraceRecord End(int64_t t)
{
    TraceRecord record;
    record.t = t;
    record.kind = kEndRecord;
    return record;
}

std::string Logged(const std::vector<TraceRecord>& records)
{
    ReadableLog log;
    std::string lines;
    for (const TraceRecord& record : records)
        lines += ReadableLogLines(log, record);
    return lines;
}

TEST(ReadableLog, NamesAPedOfANamedModel)
{
    EXPECT_EQ(
        Logged({ Command(100, kLoadSpecialModel.id, { Int(3), Arg('s', 0, "BURGER") }),
                 Command(200, kCreatePed.id, { Int(4), Int(111), Float(1), Float(2), Float(3), Handle(0) }, { 20 }),
                 Command(300, kCreatePed.id, { Int(4), Int(112), Float(1), Float(2), Float(3), Handle(0) }, { 21 }),
                 Command(400, kCreatePed.id, { Int(4), Int(7), Float(1), Float(2), Float(3), Handle(0) }, { 22 }) }),
        "[00:00.200] PED   #20 BURGER (model 111) at (1.00, 2.00, 3.00)\n"
        "[00:00.300] PED   #21 model 112 at (1.00, 2.00, 3.00)\n"
        "[00:00.400] PED   #22 model 7 at (1.00, 2.00, 3.00)\n");
}

TEST(ReadableLog, ShowsTheDirectionsToPedsAndCars)
{
    EXPECT_EQ(Logged({ Command(1000, kAnimatePed.id, { Handle(253), Int(19), Int(2000) }),
                       Command(1000, kCommand020F.id, { Handle(253), Handle(1) }),
                       Command(1000, kCommand01D5.id, { Handle(253), Handle(261) }),
                       Command(1000, kCommand04EB.id, { Handle(253), Int(1), Int(2000) }),
                       Command(2000, kSetPsychoDriving.id, { Handle(261) }),
                       Command(2000, kSetCarSpeed.id, { Handle(261), Float(10) }),
                       Command(2000, kSetCarBehaviour.id, { Handle(261), Int(4) }),
                       Command(2000, kDriveCarTo.id, { Handle(188), Float(350), Float(-527), Float(10) }),
                       Command(2000, kSetCarHeading.id, { Handle(188), Float(90) }) }),
              "[00:01.000] PED   #253 anim 19 for 2000 ms\n"
              "[00:01.000] PED   #253 with you\n"
              "[00:01.000] PED   #253 into car #261\n"
              "[00:01.000] PED   #253 04EB 1 2000\n"
              "[00:02.000] CAR   #261 psycho driving\n"
              "[00:02.000] CAR   #261 speed 10\n"
              "[00:02.000] CAR   #261 drive to the player and stop\n"
              "[00:02.000] CAR   #188 drives to (350.00, -527.00, 10.00)\n");
}

TEST(ReadableLog, FoldsAHeldClockIntoOneLine)
{
    std::vector<TraceRecord> records = { Command(1000, kSetTimeOfDay.id, { Int(21), Int(0) }) };
    for (int64_t t = 1250; t <= 4750; t += 250)
        records.push_back(Command(t, kSetTimeOfDay.id, { Int(21), Int(0) }));
    records.push_back(Command(8000, kAnimatePed.id, { Handle(5), Int(3), Int(1) }));
    EXPECT_EQ(Logged(records), "[00:01.000] CLOCK 21:00\n"
                               "[00:04.750] CLOCK 21:00 held, 15 times\n"
                               "[00:08.000] PED   #5 anim 3 for 1 ms\n")
        << "told before the next line once no longer sent";
}

TEST(ReadableLog, ANewStateEndsTheHoldAndTheEndTellsWhatIsStillHeld)
{
    EXPECT_EQ(
        Logged({ Command(0, kSetTimeOfDay.id, { Int(21), Int(0) }), Command(250, kSetTimeOfDay.id, { Int(21), Int(0) }),
                 Command(500, kSetTimeOfDay.id, { Int(22), Int(0) }), Command(600, kSetWeather.id, { Int(2) }),
                 Command(750, kSetTimeOfDay.id, { Int(22), Int(0) }), Command(800, kSetWeather.id, { Int(2) }),
                 Command(900, kSetWeather.id, { Int(2) }), End(1000) }),
        "[00:00.000] CLOCK 21:00\n"
        "[00:00.250] CLOCK 21:00 held, 1 time\n"
        "[00:00.500] CLOCK 22:00\n"
        "[00:00.600] WEATHER 2\n"
        "[00:00.750] CLOCK 22:00 held, 1 time\n"
        "[00:00.900] WEATHER 2 held, 2 times\n"
        "[00:01.000] HOST  end\n");
}

TraceRecord Text(int64_t t, const std::string& text, int number)
{
    TraceRecord record;
    record.t = t;
    record.kind = kTextRecord;
    record.text = text;
    record.number = number;
    record.ms = 2000;
    record.style = 1;
    return record;
}

TEST(ReadableLog, TellsATextByItsCodesInColourOrWithout)
{
    const TraceRecord text = Text(500, "Texts ~r~ON~h~, ~b~~1~~x~ left~", 3);
    EXPECT_EQ(Logged({ text }), "[00:00.500] TEXT  Texts ON, 3 left~  (2000 ms)\n");
    ReadableLog log;
    log.colour = true;
    EXPECT_EQ(ReadableLogLines(log, text),
              "[00:00.500] TEXT  Texts \x1b[1;31mON\x1b[0m, \x1b[1;34m3\x1b[0m left~\x1b[0m  (2000 ms)\n")
        << "every code but ~1~ sets a colour, an unknown one the normal";
}

}  // namespace
