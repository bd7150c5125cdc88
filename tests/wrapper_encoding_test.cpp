// Wrapper commands byte for byte, as the host's interpreter finds them in the
// command buffer. No engine: the interpreter only keeps a copy of each
// command and answers every condition with true.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "game/car.h"
#include "game/ped.h"
#include "game/script_control.h"
#include "game/world.h"
#include "host/host_addresses.h"
#include "script/command.h"
#include "script/scheduler.h"

namespace {

typedef std::vector<uint8_t> Bytes;

std::vector<Bytes> sent;  // one copy of bridge->commandBuffer per command run

// Fills the buffer again after each copy, so that the bytes a command did not
// write show as 0xCC.
void HOST_CALLBACK KeepingInterpreter(HostScript* script)
{
    sent.emplace_back(bridge->commandBuffer, bridge->commandBuffer + kCommandBufferSize);
    memset(bridge->commandBuffer, 0xCC, sizeof bridge->commandBuffer);
    script->bytes[kHostScriptCondition] = 1;
}

class WrapperEncoding : public ::testing::Test {
protected:
    HostScript record = {};

    void SetUp() override
    {
        hostAddresses.interpreter = reinterpret_cast<uintptr_t>(&KeepingInterpreter);
        hostAddresses.scriptSpaceBase = 0;
        scheduler.currentHostScript = &record;
        InitScriptThreadList();             // the boot record's id, written into the record
        scriptControl = new ScriptControl;  // the module frees it with its other boot objects
        memset(bridge->commandBuffer, 0xCC, sizeof bridge->commandBuffer);
        sent.clear();
    }

    // Command n as sent: its expected bytes, and nothing written after them.
    void ExpectCommand(size_t n, const Bytes& bytes)
    {
        ASSERT_LT(n, sent.size()) << "only " << sent.size() << " commands were sent";
        EXPECT_EQ(Bytes(sent[n].begin(), sent[n].begin() + bytes.size()), bytes) << "command " << n;
        EXPECT_EQ(sent[n][bytes.size()], 0xCC) << "command " << n << " is longer than " << bytes.size() << " bytes";
    }
};

TEST_F(WrapperEncoding, FadeSetsTheColourBlackThenFades)
{
    World().Fade(0, 0);
    ASSERT_EQ(sent.size(), 2u);
    ExpectCommand(0, { 0x69, 0x01, 0x01, 0, 0, 0, 0, 0x01, 0, 0, 0, 0, 0x01, 0, 0, 0, 0 });
    ExpectCommand(1, { 0x6A, 0x01, 0x01, 0, 0, 0, 0, 0x01, 0, 0, 0, 0 });
}

TEST_F(WrapperEncoding, ZoneGroupPadsTheSevenCharacterLabel)
{
    World().SetZoneGroup("WEE_DAM", 1, 7);
    ASSERT_EQ(sent.size(), 1u);
    ExpectCommand(0, { 0x24, 0x03, 'W', 'E', 'E', '_', 'D', 'A', 'M', 0x00, 0x01, 1, 0, 0, 0, 0x01, 7, 0, 0, 0 });
}

TEST_F(WrapperEncoding, SpecialModelNamesTheSlotThenLoads)
{
    Ped(nullptr, true).LoadSpecialModel(3, "IGPHIL");
    ASSERT_EQ(sent.size(), 2u);
    ExpectCommand(0, { 0x3C, 0x02, 0x01, 3, 0, 0, 0, 'I', 'G', 'P', 'H', 'I', 'L', 0x00, 0x00 });
    ExpectCommand(1, { 0x8B, 0x03 });
}

TEST_F(WrapperEncoding, StartScriptEndsWithTheEndOfArgumentsByte)
{
    scriptControl->StartScript(2);
    ASSERT_EQ(sent.size(), 1u);
    ExpectCommand(0, { 0xD7, 0x00, 0x01, 2, 0, 0, 0, 0x00 });
}

TEST_F(WrapperEncoding, ImmunitiesAreFiveIntsAfterTheHandle)
{
    Car car(nullptr, 90, 1.5f, 2.5f, 3.5f, true);  // the model counts as loaded: no wait
    sent.clear();
    car.SetImmunities(1, 1, 1, 1, 1);
    ASSERT_EQ(sent.size(), 1u);
    ExpectCommand(0, { 0xAC, 0x02, 0x03, 0, 0, 0x01, 1, 0, 0, 0, 0x01, 1, 0, 0, 0,
                       0x01, 1,    0,    0, 0, 0x01, 1, 0, 0, 0, 0x01, 1, 0, 0, 0 });
}

}  // namespace
