// The boot script against the substitute host: the whole set-up in the first
// tick, in order and with the values of the boot data, and again after a
// re-initialisation of the host's scripts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <set>
#include <utility>
#include <string>
#include <vector>

#include "game/player.h"
#include "game/script_control.h"
#include "game/world.h"
#include "scripts/boot_data.h"
#include "tests/boot_commands.h"
#include "tests/studio_session.h"

using namespace hostsim;

namespace {

const float kStartX = 1011.72f;
const float kStartY = -456.49f;
const float kStartZ = 55.88f;

std::string Describe(const TraceArgument& a)
{
    switch (a.kind) {
    case 'i':
        return std::to_string(a.i);
    case 'f':
        return std::to_string(a.f) + "f";
    case 's':
        return "\"" + a.s + "\"";
    case 'v':
        return "v";
    default:
        return std::string(1, a.kind);
    }
}

std::string Describe(uint16_t id, const std::vector<TraceArgument>& args)
{
    std::string line = CommandIdText(id);
    for (const TraceArgument& a : args)
        line += " " + Describe(a);
    return line;
}

// Whether the sent argument is the one the line gives: floats compared in
// single precision, bit for bit; a variable's value is checked separately,
// since a fresh record's handle field holds whatever it held.
bool SameArgument(const TraceArgument& sent, const std::string& expected)
{
    const bool isFloat = expected.size() > 1 && expected.back() == 'f' &&
                         (isdigit(static_cast<unsigned char>(expected[0])) || expected[0] == '-');
    if (isFloat)
        return sent.kind == 'f' && sent.f == strtof(expected.c_str(), nullptr);
    if (expected == "v")
        return sent.kind == 'v';
    if (sent.kind == 'i')
        return std::to_string(sent.i) == expected;
    return sent.kind == 's' && sent.s == expected;
}

bool SameCommand(const TraceRecord& sent, const char* line)
{
    std::istringstream words(line);
    std::string id;
    words >> id;
    if (id != CommandIdText(sent.id))
        return false;
    std::string expected;
    size_t n = 0;
    for (; words >> expected; ++n)
        if (n >= sent.args.size() || !SameArgument(sent.args[n], expected))
            return false;
    return n == sent.args.size();
}

// The first difference between the sent commands and kBootCommands, or "".
std::string FirstDifference(const std::vector<TraceRecord>& sent)
{
    const size_t expectedCount = sizeof kBootCommands / sizeof kBootCommands[0];
    for (size_t n = 0; n < sent.size() && n < expectedCount; ++n)
        if (!SameCommand(sent[n], kBootCommands[n]))
            return "command " + std::to_string(n) + ": sent " + Describe(sent[n].id, sent[n].args) + ", expected " +
                   kBootCommands[n];
    if (sent.size() != expectedCount)
        return std::to_string(sent.size()) + " commands sent, " + std::to_string(expectedCount) + " expected";
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
    EXPECT_EQ(FirstDifference(boot), "");
    for (const TraceRecord& command : boot) {
        EXPECT_NE(command.id, kWait.id) << "the boot script never waits";
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
              (std::vector<uint16_t> { kSetZoneInfoA.id, kSetZoneInfoA.id, kSetZoneInfoB.id, kSetZoneInfoB.id,
                                       kSetZoneGroup.id, kSetZoneGroup.id }));
    EXPECT_EQ(IdsForLabel(boot, "PARK"),
              (std::vector<uint16_t> { kSetZoneInfoA.id, kSetZoneInfoA.id, kSetZoneInfoB.id, kSetZoneInfoB.id,
                                       kSetZoneGroup.id, kSetZoneGroup.id, kSetZoneInfoC.id, kSetZoneInfoC.id }));
    EXPECT_EQ(CommandsWithId(boot, kSetZoneInfoC.id).size(), 84u);
}

TEST_F(Boot, EachGeneratorsValueGoesToItsOwnFreshHandle)
{
    std::set<int32_t> handles;
    size_t generators = 0;
    for (size_t n = 0; n < boot.size(); ++n) {
        if (boot[n].id != kCreateCarGenerator.id)
            continue;
        ++generators;
        ASSERT_LT(n + 1, boot.size());
        const TraceRecord& value = boot[n + 1];
        ASSERT_EQ(value.id, kSetCarGeneratorValue.id) << "after generator " << generators;
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
    const std::vector<TraceRecord> made = CommandsWithId(boot, kCreatePlayer.id);
    const std::vector<TraceRecord> character = CommandsWithId(boot, kGetCharacterHandle.id);
    ASSERT_EQ(made.size(), 1u);
    ASSERT_EQ(character.size(), 1u);
    const int32_t playerHandle = made[0].out[0];
    const int32_t characterHandle = character[0].out[1];
    EXPECT_EQ(character[0].args[0].i, playerHandle);
    for (uint16_t id : { kSetPlayerModel.id, kApplyPlayerModel.id })
        EXPECT_EQ(CommandsWithId(boot, id).at(0).args[0].i, characterHandle) << CommandIdText(id);
    for (uint16_t id : { kSetPlayerHeading.id, kCommand055E.id, kCommand055F.id, kCommand055D.id, kCommand0330.id,
                         kSetPlayerControls.id })
        EXPECT_EQ(CommandsWithId(boot, id).at(0).args[0].i, playerHandle) << CommandIdText(id);
}

TEST_F(Boot, TheStartPointIsPreparedInSinglePrecision)
{
    const std::vector<TraceRecord> scene = CommandsWithId(boot, kPrepareSceneAt.id);
    ASSERT_EQ(scene.size(), 1u);
    EXPECT_EQ(scene[0].args[1].f, -456.49f + 2.0f);
    const std::vector<TraceRecord> area = CommandsWithId(boot, kPrepareAreaAt.id);
    ASSERT_EQ(area.size(), 1u);
    EXPECT_EQ(area[0].args[0].f, kStartX);
    EXPECT_EQ(area[0].args[1].f, kStartY);
    for (uint16_t id : { kCommand016C.id, kCommand016D.id }) {
        const std::vector<TraceRecord> turned = CommandsWithId(boot, id);
        ASSERT_EQ(turned.size(), 1u);
        EXPECT_EQ(turned[0].args[3].f, 120.0f) << CommandIdText(id);
    }
}

TEST_F(Boot, UnlockingThePlayerIsTheLastCommand)
{
    ASSERT_FALSE(boot.empty());
    const TraceRecord& last = boot.back();
    EXPECT_EQ(last.id, kSetPlayerControls.id);
    EXPECT_EQ(last.args[0].i, CommandsWithId(boot, kCreatePlayer.id).at(0).out[0]);
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
    if (record.kind == kReinitRecord)
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

    EXPECT_EQ(FirstDifference(first), "");
    EXPECT_EQ(FirstDifference(second), "");
    EXPECT_NE(bootGlobalsAtReinit.world, nullptr);
    EXPECT_NE(scriptControl, bootGlobalsAtReinit.scriptControl);
    EXPECT_NE(world, bootGlobalsAtReinit.world);
    EXPECT_NE(player, bootGlobalsAtReinit.player);
}

TEST(BootData, CarGeneratorsStayOnTheMapWithThePlainExtrasButTwo)
{
    float xMin = kAreas[0].x1, xMax = xMin, yMin = kAreas[0].y1, yMax = yMin;
    for (int n = 0; n < kAreaCount; ++n) {
        for (float x : { kAreas[n].x1, kAreas[n].x2 }) {
            xMin = std::min(xMin, x);
            xMax = std::max(xMax, x);
        }
        for (float y : { kAreas[n].y1, kAreas[n].y2 }) {
            yMin = std::min(yMin, y);
            yMax = std::max(yMax, y);
        }
    }
    const std::vector<int32_t> plain = { -1, -1, 0, 0, 0, 0, 10000 };
    const std::vector<int32_t> coloured = { 72, 75, 0, 0, 0, 0, 10000 };
    std::set<std::pair<float, float>> points;
    int streetHeadings = 0;
    for (int n = 0; n < kCarGeneratorCount; ++n) {
        const CarGeneratorRow& g = kCarGenerators[n];
        const int row = n + 1;
        const std::string where = "generator " + std::to_string(row);
        EXPECT_GE(g.x, xMin) << where;
        EXPECT_LE(g.x, xMax) << where;
        EXPECT_GE(g.y, yMin) << where;
        EXPECT_LE(g.y, yMax) << where;
        EXPECT_GE(g.heading, 0.0f) << where;
        EXPECT_LE(g.heading, 360.0f) << where;
        EXPECT_GE(g.model, 130) << where;
        EXPECT_LE(g.model, 230) << where;
        const std::vector<int32_t> extras(g.b, g.b + 7);
        EXPECT_EQ(extras, row == 17 || row == 18 ? coloured : plain) << where;
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
