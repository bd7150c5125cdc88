// The boot script against the substitute host: the whole set-up in the first
// tick, in order and with the values of the boot data, and again after a
// re-initialisation of the host's scripts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <utility>
#include <string>
#include <vector>

#include "game/player.h"
#include "game/script_control.h"
#include "game/world.h"
#include "scripts/boot_data.h"
#include "tests/studio_session.h"

namespace {

const float kStartX = 1011.72f;
const float kStartY = -456.49f;
const float kStartZ = 55.88f;

// One expected command: its id and arguments. A variable's value is checked
// separately, since a fresh record's handle field holds whatever it held.
struct Expected {
    uint16_t id;
    std::vector<TraceArgument> args;
};

TraceArgument I(int32_t value)
{
    TraceArgument argument;
    argument.kind = 'i';
    argument.i = value;
    return argument;
}

TraceArgument F(float value)
{
    TraceArgument argument;
    argument.kind = 'f';
    argument.f = value;
    return argument;
}

TraceArgument S(const char* value)
{
    TraceArgument argument;
    argument.kind = 's';
    argument.s = value;
    return argument;
}

TraceArgument V()
{
    TraceArgument argument;
    argument.kind = 'v';
    return argument;
}

std::vector<TraceArgument> ZoneArguments(const char* label, int32_t isDay, const int32_t* values)
{
    std::vector<TraceArgument> args = { S(label), I(isDay) };
    for (int n = 0; n < 11; ++n)
        args.push_back(I(values[n]));
    return args;
}

// The boot's commands as the boot data and the set-up order give them.
std::vector<Expected> ExpectedBoot()
{
    std::vector<Expected> e;
    e.push_back({ 0x03A4, { S("MAIN") } });
    e.push_back({ 0x0169, { I(0), I(0), I(0) } });
    e.push_back({ 0x016A, { I(0), I(0) } });
    for (int zone = 0; zone < kZoneCount; ++zone)
    {
        const char* label = kZones[zone].label;
        e.push_back({ 0x015C, ZoneArguments(label, 1, kZoneInfoA[zone].day) });
        e.push_back({ 0x015C, ZoneArguments(label, 0, kZoneInfoA[zone].night) });
        e.push_back({ 0x0152, ZoneArguments(label, 1, kZoneInfoB[zone].day) });
        e.push_back({ 0x0152, ZoneArguments(label, 0, kZoneInfoB[zone].night) });
        e.push_back({ 0x0324, { S(label), I(1), I(kZones[zone].groupDay) } });
        e.push_back({ 0x0324, { S(label), I(0), I(kZones[zone].groupNight) } });
        if (zone < kZoneInfoCCount)
        {
            e.push_back({ 0x04EC, ZoneArguments(label, 1, kZoneInfoC[zone].day) });
            e.push_back({ 0x04EC, ZoneArguments(label, 0, kZoneInfoC[zone].night) });
        }
    }
    for (int n = 0; n < kAreaCount; ++n)
    {
        const AreaRow& a = kAreas[n];
        e.push_back({ a.command, { F(a.x1), F(a.y1), F(a.z1), F(a.x2), F(a.y2), F(a.z2) } });
    }
    e.push_back({ 0x01F0, { I(0) } });
    e.push_back({ 0x0111, { I(1) } });
    e.push_back({ 0x04BB, { I(0) } });
    auto modelCommand = [&e](const ModelCommandRow& m) {
        e.push_back({ m.command, { F(m.x), F(m.y), F(m.z), F(m.radius), I(m.model), I(m.last) } });
    };
    for (int n = 0; n < kModelCommandsBeforeObjects; ++n)
        modelCommand(kModelCommands[n]);
    for (int n = 0; n < kObjectCount; ++n)
        e.push_back({ 0x029B, { I(kObjects[n].model), F(kObjects[n].x), F(kObjects[n].y), F(kObjects[n].z), V() } });
    for (int n = kModelCommandsBeforeObjects; n < kModelCommandCount; ++n)
        modelCommand(kModelCommands[n]);
    for (int n = 0; n < kCarGeneratorCount; ++n)
    {
        const CarGeneratorRow& g = kCarGenerators[n];
        std::vector<TraceArgument> args = { F(g.x), F(g.y), F(g.z), F(g.heading), I(g.model) };
        for (int32_t b : g.b)
            args.push_back(I(b));
        args.push_back(V());
        e.push_back({ 0x014B, args });
        e.push_back({ 0x014C, { V(), I(101) } });
    }
    e.push_back({ 0x0235, { I(7), I(95), I(96) } });
    const int32_t groupCars[][2] = { { 0, 174 }, { 1, 228 }, { 2, 206 }, { 3, 207 }, { 4, 142 }, { 5, 225 }, { 7, 212 } };
    for (const auto& group : groupCars)
        e.push_back({ 0x0236, { I(group[0]), I(group[1]) } });
    e.push_back({ 0x00C0, { I(8), I(0) } });
    e.push_back({ 0x04E4, { F(kStartX), F(kStartY) } });
    e.push_back({ 0x03CB, { F(kStartX), F(kStartY + 2.0f), F(kStartZ) } });
    e.push_back({ 0x0053, { I(0), F(kStartX), F(kStartY), F(kStartZ), V() } });
    e.push_back({ 0x01F5, { V(), V() } });
    e.push_back({ 0x03C8, {} });
    e.push_back({ 0x0352, { V(), S("PLAYER") } });
    e.push_back({ 0x038B, {} });
    e.push_back({ 0x0353, { V() } });
    e.push_back({ 0x0171, { V(), F(270.0f) } });
    e.push_back({ 0x055E, { V(), I(150) } });
    e.push_back({ 0x055F, { V(), I(150) } });
    e.push_back({ 0x055D, { V(), I(1) } });
    e.push_back({ 0x0330, { V(), I(1) } });
    e.push_back({ 0x016C, { F(kStartX), F(kStartY), F(kStartZ), F(120.0f) } });
    e.push_back({ 0x016D, { F(kStartX), F(kStartY), F(kStartZ), F(120.0f) } });
    e.push_back({ 0x01B6, { I(0) } });
    e.push_back({ 0x0169, { I(0), I(0), I(0) } });
    e.push_back({ 0x016A, { I(1000), I(1) } });
    e.push_back({ 0x04BB, { I(0) } });
    e.push_back({ 0x01B4, { V(), I(1) } });
    return e;
}

std::string Describe(const TraceArgument& a)
{
    switch (a.kind)
    {
    case 'i': return std::to_string(a.i);
    case 'f': return std::to_string(a.f) + "f";
    case 's': return "\"" + a.s + "\"";
    case 'v': return "v";
    default: return std::string(1, a.kind);
    }
}

std::string Describe(uint16_t id, const std::vector<TraceArgument>& args)
{
    char text[8];
    snprintf(text, sizeof text, "%04X", id);
    std::string line = text;
    for (const TraceArgument& a : args)
        line += " " + Describe(a);
    return line;
}

bool SameArgument(const TraceArgument& sent, const TraceArgument& expected)
{
    if (sent.kind != expected.kind)
        return false;
    switch (expected.kind)
    {
    case 'i': return sent.i == expected.i;
    case 'f': return sent.f == expected.f;  // single precision, bit for bit
    case 's': return sent.s == expected.s;
    default: return true;
    }
}

// The first difference between the sent and the expected commands, or "".
std::string FirstDifference(const std::vector<TraceRecord>& sent, const std::vector<Expected>& expected)
{
    for (size_t n = 0; n < sent.size() && n < expected.size(); ++n)
    {
        bool same = sent[n].id == expected[n].id && sent[n].args.size() == expected[n].args.size();
        for (size_t a = 0; same && a < expected[n].args.size(); ++a)
            same = SameArgument(sent[n].args[a], expected[n].args[a]);
        if (!same)
            return "command " + std::to_string(n) + ": sent " + Describe(sent[n].id, sent[n].args) +
                   ", expected " + Describe(expected[n].id, expected[n].args);
    }
    if (sent.size() != expected.size())
        return std::to_string(sent.size()) + " commands sent, " + std::to_string(expected.size()) + " expected";
    return "";
}

// The commands of the tick at the given time.
std::vector<TraceRecord> CommandsAt(const std::vector<TraceRecord>& trace, int64_t t)
{
    std::vector<TraceRecord> commands;
    for (const TraceRecord& record : Commands(trace))
        if (record.t == t)
            commands.push_back(record);
    return commands;
}

// The commands with the label as first argument.
std::vector<uint16_t> IdsForLabel(const std::vector<TraceRecord>& commands, const std::string& label)
{
    std::vector<uint16_t> ids;
    for (const TraceRecord& record : commands)
        if (!record.args.empty() && record.args[0].kind == 's' && record.args[0].s == label)
            ids.push_back(record.id);
    return ids;
}

class Boot : public ::testing::Test {
protected:
    std::vector<TraceRecord> trace;
    std::vector<TraceRecord> boot;  // the commands of the first tick

    void SetUp() override
    {
        trace = RunSession("end 100\n").trace;
        ASSERT_EQ(Errors(trace), "");
        boot = CommandsAt(trace, 0);
    }
};

TEST_F(Boot, TheFirstTickSendsTheWholeSetUpInOrder)
{
    EXPECT_EQ(boot.size(), 768u);
    EXPECT_EQ(FirstDifference(boot, ExpectedBoot()), "");
    for (const TraceRecord& command : boot)
    {
        EXPECT_NE(command.id, 0x0001) << "the boot script never waits";
        EXPECT_EQ(command.script, 0);
    }
}

TEST_F(Boot, BeginsByNamingTheScriptAndFadingToBlack)
{
    ASSERT_GE(boot.size(), 3u);
    EXPECT_EQ(Describe(boot[0].id, boot[0].args), "03A4 \"MAIN\"");
    EXPECT_EQ(Describe(boot[1].id, boot[1].args), "0169 0 0 0");
    EXPECT_EQ(Describe(boot[2].id, boot[2].args), "016A 0 0");
}

TEST_F(Boot, TheLastZoneGetsNoThirdInformationCommand)
{
    EXPECT_EQ(IdsForLabel(boot, "WEE_DAM"),
              (std::vector<uint16_t>{ 0x015C, 0x015C, 0x0152, 0x0152, 0x0324, 0x0324 }));
    EXPECT_EQ(IdsForLabel(boot, "PARK"),
              (std::vector<uint16_t>{ 0x015C, 0x015C, 0x0152, 0x0152, 0x0324, 0x0324, 0x04EC, 0x04EC }));
    EXPECT_EQ(CommandsWithId(boot, 0x04EC).size(), 84u);
}

TEST_F(Boot, EachGeneratorsValueGoesToItsOwnFreshHandle)
{
    std::set<int32_t> handles;
    size_t generators = 0;
    for (size_t n = 0; n < boot.size(); ++n)
    {
        if (boot[n].id != 0x014B)
            continue;
        ++generators;
        ASSERT_LT(n + 1, boot.size());
        const TraceRecord& value = boot[n + 1];
        ASSERT_EQ(value.id, 0x014C) << "after generator " << generators;
        ASSERT_EQ(boot[n].out.size(), 1u);
        EXPECT_EQ(value.args[0].i, boot[n].out[0]) << "generator " << generators << " names another record";
        EXPECT_EQ(value.args[1].i, 101);
        handles.insert(boot[n].out[0]);
    }
    EXPECT_EQ(generators, 159u);
    EXPECT_EQ(handles.size(), 159u);
}

TEST_F(Boot, ThePlayerCommandsNameThePlayerOrItsCharacter)
{
    const std::vector<TraceRecord> made = CommandsWithId(boot, 0x0053);
    const std::vector<TraceRecord> character = CommandsWithId(boot, 0x01F5);
    ASSERT_EQ(made.size(), 1u);
    ASSERT_EQ(character.size(), 1u);
    const int32_t playerHandle = made[0].out[0];
    const int32_t characterHandle = character[0].out[1];
    EXPECT_EQ(character[0].args[0].i, playerHandle);
    for (uint16_t id : { 0x0352, 0x0353 })
        EXPECT_EQ(CommandsWithId(boot, id).at(0).args[0].i, characterHandle) << std::hex << id;
    for (uint16_t id : { 0x0171, 0x055E, 0x055F, 0x055D, 0x0330, 0x01B4 })
        EXPECT_EQ(CommandsWithId(boot, id).at(0).args[0].i, playerHandle) << std::hex << id;
}

TEST_F(Boot, TheStartPointIsPreparedInSinglePrecision)
{
    const std::vector<TraceRecord> scene = CommandsWithId(boot, 0x03CB);
    ASSERT_EQ(scene.size(), 1u);
    EXPECT_EQ(scene[0].args[1].f, -456.49f + 2.0f);
    const std::vector<TraceRecord> area = CommandsWithId(boot, 0x04E4);
    ASSERT_EQ(area.size(), 1u);
    EXPECT_EQ(area[0].args[0].f, kStartX);
    EXPECT_EQ(area[0].args[1].f, kStartY);
    for (uint16_t id : { 0x016C, 0x016D })
    {
        const std::vector<TraceRecord> turned = CommandsWithId(boot, id);
        ASSERT_EQ(turned.size(), 1u);
        EXPECT_EQ(turned[0].args[3].f, 120.0f) << std::hex << id;
    }
}

TEST_F(Boot, UnlockingThePlayerIsTheLastCommand)
{
    ASSERT_FALSE(boot.empty());
    const TraceRecord& last = boot.back();
    EXPECT_EQ(last.id, 0x01B4);
    EXPECT_EQ(last.args[0].i, CommandsWithId(boot, 0x0053).at(0).out[0]);
    EXPECT_EQ(last.args[1].i, 1);
}

struct Globals {
    ScriptControl* scriptControl;
    World* world;
    Player* player;
};

Globals bootGlobalsAtReinit;

void KeepGlobalsAtReinit(const TraceRecord& record)
{
    if (record.kind == "reinit")
        bootGlobalsAtReinit = { scriptControl, world, player };
}

TEST(BootAgain, AReinitialisationBootsAgainWithNewObjects)
{
    ReinitScripts();
    const std::vector<TraceRecord> trace = RunScenarioText("at 1000 reinit\nend 1100\n", KeepGlobalsAtReinit).trace;
    ASSERT_EQ(Errors(trace), "");

    // The re-initialisation comes before the scripts are stepped at 1000.
    const std::vector<TraceRecord> first = CommandsAt(trace, 0);
    const std::vector<TraceRecord> second = CommandsAt(trace, 1000);

    EXPECT_EQ(FirstDifference(first, ExpectedBoot()), "");
    EXPECT_EQ(FirstDifference(second, ExpectedBoot()), "");
    EXPECT_NE(bootGlobalsAtReinit.world, nullptr);
    EXPECT_NE(scriptControl, bootGlobalsAtReinit.scriptControl);
    EXPECT_NE(world, bootGlobalsAtReinit.world);
    EXPECT_NE(player, bootGlobalsAtReinit.player);
}

TEST(BootData, CarGeneratorsStayOnTheMapWithThePlainExtrasButTwo)
{
    float xMin = kAreas[0].x1, xMax = xMin, yMin = kAreas[0].y1, yMax = yMin;
    for (int n = 0; n < kAreaCount; ++n)
    {
        for (float x : { kAreas[n].x1, kAreas[n].x2 })
        {
            xMin = std::min(xMin, x);
            xMax = std::max(xMax, x);
        }
        for (float y : { kAreas[n].y1, kAreas[n].y2 })
        {
            yMin = std::min(yMin, y);
            yMax = std::max(yMax, y);
        }
    }
    const std::vector<int32_t> plain = { -1, -1, 0, 0, 0, 0, 10000 };
    const std::vector<int32_t> coloured = { 72, 75, 0, 0, 0, 0, 10000 };
    std::set<std::pair<float, float>> points;
    int streetHeadings = 0;
    for (int n = 0; n < kCarGeneratorCount; ++n)
    {
        const CarGeneratorRow& g = kCarGenerators[n];
        const int row = n + 1;
        SCOPED_TRACE("generator " + std::to_string(row));
        EXPECT_GE(g.x, xMin);
        EXPECT_LE(g.x, xMax);
        EXPECT_GE(g.y, yMin);
        EXPECT_LE(g.y, yMax);
        EXPECT_GE(g.heading, 0.0f);
        EXPECT_LE(g.heading, 360.0f);
        EXPECT_GE(g.model, 130);
        EXPECT_LE(g.model, 230);
        const std::vector<int32_t> extras(g.b, g.b + 7);
        EXPECT_EQ(extras, row == 17 || row == 18 ? coloured : plain);
        points.insert({ g.x, g.y });
        if (g.heading == 0.0f || g.heading == 90.0f || g.heading == 180.0f || g.heading == 270.0f)
            ++streetHeadings;
    }
    EXPECT_EQ(kCarGenerators[0].x, 595.875f);
    EXPECT_EQ(kCarGenerators[1].model, 188);
    EXPECT_EQ(kCarGenerators[16].heading, 140.0f);
    EXPECT_EQ(kCarGenerators[17].y, -163.375f);
    EXPECT_EQ(kCarGenerators[17].model, 174);
    // Each at a point of its own, most along the streets' directions.
    EXPECT_EQ(points.size(), static_cast<size_t>(kCarGeneratorCount));
    EXPECT_GT(streetHeadings, kCarGeneratorCount * 3 / 4);
}

TEST(BootData, ZoneLabelsFitTheLabelField)
{
    for (int zone = 0; zone < kZoneCount; ++zone)
        EXPECT_LE(strlen(kZones[zone].label), 7u) << kZones[zone].label;
    EXPECT_STREQ(kZones[kZoneCount - 1].label, "WEE_DAM");
}

}  // namespace
