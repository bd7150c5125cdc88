// The command bridge's encoding, checked byte for byte against a host
// interpreter that only copies what it is given.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "host/host_addresses.h"
#include "script/command.h"
#include "script/scheduler.h"

namespace {

std::vector<uint8_t> seen;  // the command the interpreter was given
uint32_t seenInstructionPointer = 0;
int32_t localsToLeave[2] = { 0, 0 };  // what the interpreter writes into locals 0 and 1
uint8_t conditionToLeave = 0;
uint32_t pointerToLeave = 0xDEADBEEF;  // what the interpreter leaves in the instruction pointer
alignas(16) uint8_t fakeScriptSpace[16];

void HOST_CALLBACK CopyingInterpreter(HostScript* script)
{
    seenInstructionPointer = ReadInstructionPointer(script);
    const uint8_t* code = reinterpret_cast<const uint8_t*>(
        hostAddresses.scriptSpaceBase +
        static_cast<uintptr_t>(static_cast<intptr_t>(static_cast<int32_t>(seenInstructionPointer))));
    seen.assign(code, code + kCommandBufferSize);
    WriteLocal(script, 0, localsToLeave[0]);
    WriteLocal(script, 1, localsToLeave[1]);
    script->bytes[kHostScriptCondition] = conditionToLeave;
    WriteInstructionPointer(script, pointerToLeave);
}

class CommandBridge : public ::testing::Test {
protected:
    HostScript record = {};

    void SetUp() override
    {
        hostAddresses.interpreter = reinterpret_cast<uintptr_t>(&CopyingInterpreter);
        hostAddresses.scriptSpaceBase = reinterpret_cast<uintptr_t>(fakeScriptSpace);
        scheduler.currentHostScript = &record;
        memset(bridge->commandBuffer, 0xCC, sizeof bridge->commandBuffer);
    }

    // The bytes sent, up to the first byte the encoder did not write.
    std::vector<uint8_t> Sent(size_t length)
    {
        EXPECT_EQ(seen.size(), kCommandBufferSize);
        if (length < seen.size()) {
            EXPECT_EQ(seen[length], 0xCC) << "more than " << length << " bytes were written";
        }
        memset(bridge->commandBuffer, 0xCC, sizeof bridge->commandBuffer);
        return std::vector<uint8_t>(seen.begin(), seen.begin() + length);
    }
};

typedef std::vector<uint8_t> Bytes;

TEST_F(CommandBridge, EncodesTheTextExampleByteForByte)
{
    const CommandDescriptor showText = { 0x00BC, "sii" };
    CallCommand(showText, "!WELC_1", 5000, 1);
    EXPECT_EQ(Sent(20), (Bytes { 0xBC, 0x00, 0x21, 0x57, 0x45, 0x4C, 0x43, 0x5F, 0x31, 0x00,
                                 0x01, 0x88, 0x13, 0x00, 0x00, 0x01, 0x01, 0x00, 0x00, 0x00 }));
}

TEST_F(CommandBridge, EncodesTheShortForms)
{
    const CommandDescriptor noArguments = { 0x004E, "" };
    CallCommand(noArguments);
    EXPECT_EQ(Sent(2), (Bytes { 0x4E, 0x00 }));

    const CommandDescriptor startScript = { 0x00D7, "iz" };
    CallCommand(startScript, 7);
    EXPECT_EQ(Sent(8), (Bytes { 0xD7, 0x00, 0x01, 0x07, 0x00, 0x00, 0x00, 0x00 }));

    const CommandDescriptor speed = { 0x00AD, "f" };
    CallCommand(speed, 1.5f);
    EXPECT_EQ(Sent(7), (Bytes { 0xAD, 0x00, 0x06, 0x00, 0x00, 0xC0, 0x3F }));
}

TEST_F(CommandBridge, LabelsFillEightBytesAndDropTheRest)
{
    const CommandDescriptor label = { 0x03A4, "s" };
    CallCommand(label, "ABC");
    EXPECT_EQ(Sent(10), (Bytes { 0xA4, 0x03, 'A', 'B', 'C', 0, 0, 0, 0, 0 }));

    CallCommand(label, "ABCDEFGH");
    EXPECT_EQ(Sent(10), (Bytes { 0xA4, 0x03, 'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H' }));

    CallCommand(label, "ABCDEFGHIJK");
    EXPECT_EQ(Sent(10), (Bytes { 0xA4, 0x03, 'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H' }));
}

TEST_F(CommandBridge, UnknownLettersWriteNothingAndTakeNoArgument)
{
    const CommandDescriptor odd = { 0x0001, "qi" };
    CallCommand(odd, 9);
    EXPECT_EQ(Sent(7), (Bytes { 0x01, 0x00, 0x01, 0x09, 0x00, 0x00, 0x00 }));
}

TEST_F(CommandBridge, VariablesGoOutAsLocalsAndComeBackFromThem)
{
    const CommandDescriptor pair = { 0x01F5, "vv" };
    int32_t first = 11, second = 22;
    localsToLeave[0] = 33;
    localsToLeave[1] = 44;
    CallCommand(pair, &first, &second);
    EXPECT_EQ(Sent(8), (Bytes { 0xF5, 0x01, 0x03, 0x00, 0x00, 0x03, 0x01, 0x00 }));
    EXPECT_EQ(first, 33);
    EXPECT_EQ(second, 44);

    // The values sent are the variables' own, in their slots.
    const CommandDescriptor one = { 0x0110, "v" };
    int32_t handle = 1234;
    localsToLeave[0] = 1234;
    CallCommand(one, &handle);
    EXPECT_EQ(handle, 1234);
}

TEST_F(CommandBridge, PointsTheRecordAtTheBufferAndReturnsTheCondition)
{
    const CommandDescriptor test = { 0x0248, "i" };
    conditionToLeave = 5;
    EXPECT_EQ(CallCommand(test, 1), 5u);
    EXPECT_EQ(hostAddresses.scriptSpaceBase +
                  static_cast<uintptr_t>(static_cast<intptr_t>(static_cast<int32_t>(seenInstructionPointer))),
              reinterpret_cast<uintptr_t>(bridge->commandBuffer));
    conditionToLeave = 0;
    EXPECT_EQ(CallCommand(test, 1), 0u);
}

TEST_F(CommandBridge, TheInstructionPointerHoldsTheThreadIdAgainAfterEveryCommand)
{
    scheduler.threadIdCounter = 7;
    InitScriptThreadList();  // the boot record, id 7, written into the record
    ASSERT_EQ(ReadInstructionPointer(&record), 7u);
    const CommandDescriptor wait = { 0x0001, "i" };
    pointerToLeave = 0xDEADBEEF;
    CallCommand(wait, 0);
    EXPECT_EQ(ReadInstructionPointer(&record), 7u);
    pointerToLeave = 0;
    CallCommand(wait, 0);
    EXPECT_EQ(ReadInstructionPointer(&record), 7u);

    // Without a thread of that id, the host's value stays.
    WriteInstructionPointer(&record, 99);
    pointerToLeave = 1234;
    CallCommand(wait, 0);
    EXPECT_EQ(ReadInstructionPointer(&record), 1234u);
}

}  // namespace
