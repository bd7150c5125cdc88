// The module's command catalogue against the substitute host's own command
// table, kept apart on purpose: they must agree on every command. And what
// the host does with a command of the catalogue it does not imitate.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "game/command_catalogue.h"
#include "hostsim/direct/direct_binding.h"
#include "hostsim/commands/host_commands.h"
#include "hostsim/record/snapshot.h"
#include "script/command.h"
#include "script/scheduler.h"
#include "tests/trace_helpers.h"
#include "tests/wrapper_trace.h"

using namespace hostsim;

namespace {

TEST(CommandCatalogue, AgreesWithTheHostOnEveryCommand)
{
    // Every command of the catalogue has a row of the host's, so with the
    // counts equal no row of the host's is one the module cannot send.
    ASSERT_EQ(kCommandCatalogueCount, kHostCommandCount);
    for (size_t row = 0; row < kCommandCatalogueCount; ++row) {
        const CommandDescriptor& command = *kCommandCatalogue[row].command;
        const char* name = kCommandCatalogue[row].name;
        const HostCommand* host = FindHostCommand(command.id);
        ASSERT_NE(host, nullptr) << "the host does not know " << name;
        EXPECT_EQ(std::string(command.types), host->shape) << name;
        // A direction's words go on the label its handler sets.
        if (host->words) {
            EXPECT_NE(host->handler, nullptr) << "direction " << name << " labels nothing";
        }
    }
}

// Arguments of every kind, as the module's bridge encodes them; what the
// host should record of them, as RenderCommand shows it.
const int32_t kSentInt = 7;
const float kSentFloat = 1.5f;
const char kSentLabel[] = "HOSTONLY";
const int32_t kSentInVariable = 11;

std::string FloatText(float value)
{
    char text[32];
    snprintf(text, sizeof text, "%g", value);
    return text;
}

// Writes the command into the bridge's buffer and returns its expected rendering.
std::string EncodeByShape(const HostCommand& command, HostScript* record)
{
    uint8_t* at = bridge->commandBuffer;
    memcpy(at, &command.id, 2);
    at += 2;
    std::string expected = CommandIdText(command.id);
    uint16_t slot = 0;
    for (const char* letter = command.shape; *letter; ++letter) {
        switch (*letter) {
        case 'i':
            *at++ = 0x01;
            memcpy(at, &kSentInt, 4);
            at += 4;
            expected += " i" + std::to_string(kSentInt);
            break;
        case 'f':
            *at++ = 0x06;
            memcpy(at, &kSentFloat, 4);
            at += 4;
            expected += " f" + FloatText(kSentFloat);
            break;
        case 's':
            memcpy(at, kSentLabel, 8);
            at += 8;
            expected += std::string(" s") + kSentLabel;
            break;
        case 'v':
            WriteLocal(record, slot, kSentInVariable);
            *at++ = 0x03;
            memcpy(at, &slot, 2);
            at += 2;
            ++slot;
            expected += " v" + std::to_string(kSentInVariable);
            break;
        case 'z':
            *at++ = 0x00;
            expected += " z";
            break;
        }
    }
    return expected;
}

std::vector<std::string> expectedCommands;
std::vector<std::string> worldChangedBy;

// Every command the host only decodes, sent once from a script thread.
void SendEveryCommandTheHostDoesNotImitate(ScriptThread* self)
{
    WaitForFirstTurn(self);
    for (size_t row = 0; row < kHostCommandCount; ++row) {
        const HostCommand& command = kHostCommands[row];
        if (command.handler)
            continue;
        HostScript* record = scheduler.currentHostScript;
        const uint32_t threadId = ReadInstructionPointer(record);
        expectedCommands.push_back(EncodeByShape(command, record));
        const std::string before = WorldJson(CurrentHostWorld());
        RunHostCommand(record, bridge->commandBuffer);
        WriteInstructionPointer(record, threadId);
        if (WorldJson(CurrentHostWorld()) != before)
            worldChangedBy.push_back(CommandIdText(command.id));
    }
    for (;;)
        WaitMs(self, 100);
}

TEST(CommandCatalogue, ACommandTheHostDoesNotImitateIsDecodedAndRecordedAndChangesNothing)
{
    expectedCommands.clear();
    worldChangedBy.clear();
    RunResult result = RunRoutine(SendEveryCommandTheHostDoesNotImitate, "end 200\n");
    EXPECT_EQ(Errors(result.trace), "");
    ASSERT_FALSE(expectedCommands.empty());
    std::vector<std::string> recorded;
    for (const TraceRecord& record : Commands(result.trace)) {
        const HostCommand* command = FindHostCommand(record.id);
        if (command && !command->handler) {
            recorded.push_back(RenderCommand(record));
            // Its variables come back as they were sent.
            for (int32_t value : record.out)
                EXPECT_EQ(value, kSentInVariable) << RenderCommand(record);
        }
    }
    EXPECT_EQ(recorded, expectedCommands);
    EXPECT_EQ(worldChangedBy, std::vector<std::string>());
}

}  // namespace
