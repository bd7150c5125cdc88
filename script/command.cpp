// Command encoding and execution through the host's one-command interpreter.
#include "script/command.h"

#include <cstdarg>
#include <cstring>

#include "host/host_addresses.h"
#include "host/host_interface.h"
#include "platform/platform.h"
#include "script/scheduler.h"

// In the module's own data, where the host's 32-bit script offsets reach
// them wherever the module is loaded; a boot takes the next in turn, so the
// oldest comes back once as many boots as there are more have each left a
// thread behind.
static const int kBridges = 4;
static CommandBridgeState bridges[kBridges];
CommandBridgeState* bridge = &bridges[0];

void TakeNextBridge()
{
    bridge = &bridges[(bridge - bridges + 1) % kBridges];
}

void ResetBridgeChoice()
{
    bridge = &bridges[0];
}

enum ArgumentTypeByte : uint8_t {
    kTypeInt = 0x01,       // followed by 4 bytes little-endian
    kTypeVariable = 0x03,  // followed by the 16-bit slot number
    kTypeFloat = 0x06,     // followed by an IEEE single, 4 bytes
    kEndOfArguments = 0x00,
};

static const uint32_t kLabelBytes = 8;

static uint32_t PutBytes(uint8_t* buffer, uint32_t at, const void* bytes, uint32_t count)
{
    memcpy(buffer + at, bytes, count);
    return at + count;
}

uint32_t CallCommand(const CommandDescriptor& command, ...)
{
    // A thread dismissed by a teardown sends nothing more, and a late turn
    // sends only inside a tick.
    StopIfDismissed();
    GoOnOnlyInsideATick();
    va_list arguments;
    va_start(arguments, command);

    CommandBridgeState* const sending = bridge;
    uint8_t* const buffer = sending->commandBuffer;
    uint32_t at = PutBytes(buffer, 0, &command.id, 2);
    uint16_t slot = 0;
    for (const char* letter = command.types; *letter; ++letter) {
        switch (*letter) {
        case 'i': {
            int32_t value = va_arg(arguments, int32_t);
            buffer[at++] = kTypeInt;
            at = PutBytes(buffer, at, &value, 4);
            break;
        }
        case 'f': {
            float value = static_cast<float>(va_arg(arguments, double));
            buffer[at++] = kTypeFloat;
            at = PutBytes(buffer, at, &value, 4);
            break;
        }
        case 's': {
            const char* label = va_arg(arguments, const char*);
            char field[kLabelBytes] = {};
            for (uint32_t n = 0; n < kLabelBytes && label[n]; ++n)
                field[n] = label[n];
            at = PutBytes(buffer, at, field, kLabelBytes);
            break;
        }
        case 'v': {
            void* variable = va_arg(arguments, void*);
            int32_t value;
            memcpy(&value, variable, 4);
            sending->commandVariables[slot] = variable;
            WriteLocal(scheduler.currentHostScript, slot, value);
            buffer[at++] = kTypeVariable;
            at = PutBytes(buffer, at, &slot, 2);
            ++slot;
            break;
        }
        case 'z':
            buffer[at++] = kEndOfArguments;
            break;
        default:
            break;
        }
    }
    va_end(arguments);

    // The record this command runs on and comes back to, whatever a teardown
    // from another host thread does to the scheduler meanwhile.
    HostScript* const record = scheduler.currentHostScript;
    ScriptThread* current = FindScriptThread(ReadInstructionPointer(record));
    uint32_t result = RunHostCommand(record, buffer);
    for (uint16_t k = 0; k < slot; ++k) {
        int32_t value = ReadLocal(record, k);
        memcpy(sending->commandVariables[k], &value, 4);
    }
    if (current)
        WriteInstructionPointer(record, current->id);
    return result;
}

uint32_t RunHostCommand(HostScript* record, const uint8_t* command)
{
    uint32_t pointer = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(command) - hostAddresses.scriptSpaceBase);
    WriteInstructionPointer(record, pointer);
    reinterpret_cast<HostInterpreter>(hostAddresses.interpreter)(record);
    // A command that ran late may come back after a teardown gave up on
    // this thread, and the host reused or freed the record and a newer boot
    // took over the bridge: not even the condition is read then.
    StopIfDismissed();
    return ReadCondition(record);
}
