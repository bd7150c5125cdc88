// The command bridge: encodes one host script command with its arguments into
// the module's command buffer, has the host's one-command interpreter run it
// with the borrowed host script record, and carries variable results back.
#pragma once

#include <cstdint>

#include "host/host_interface.h"

// One command form: the host command id and its argument type letters.
//   i  int32_t                      -> 0x01 + 4 bytes
//   f  double (variadic promotion)  -> 0x06 + IEEE single, 4 bytes
//   s  const char* label            -> 8 bytes, zero-filled, no type byte
//   v  pointer to a 32-bit variable -> 0x03 + slot number, 2 bytes
//   z  nothing                      -> one 0x00 byte
// Any other letter writes nothing and consumes no argument.
struct CommandDescriptor {
    uint16_t id;
    char types[14];  // up to 13 letters, then 0
};
static_assert(sizeof(CommandDescriptor) == 16, "a descriptor is 16 bytes");

static const uint32_t kCommandBufferSize = 256;
static const uint32_t kCommandVariableSlots = 16;  // one per host local

// Shared by every command; safe because only the holder of the turn sends.
struct CommandBridgeState {
    uint8_t commandBuffer[kCommandBufferSize];      // the command being run, as the host reads it
    void* commandVariables[kCommandVariableSlots];  // where each local's result goes back to
};
// The bridge every command goes through, changed only by a boot.
extern CommandBridgeState* bridge;
// A thread that a teardown gave up on may still be in the host's interpreter,
// which reads that thread's command from the bridge as it runs it: the boot
// after it leaves that bridge to it and takes another.
void TakeNextBridge();
// Back to the first bridge, as at load: only once no thread can still be in
// the host's interpreter with a command of its bridge.
void ResetBridgeChoice();

// Only the holder of the turn may call this, with scheduler.currentHostScript
// its script's record. Returns 0 when the command's condition is false, else
// the condition byte.
uint32_t CallCommand(const CommandDescriptor& command, ...);

// Runs the encoded command, which lies in a bridge, with the record; returns
// its condition byte.
uint32_t RunHostCommand(HostScript* record, const uint8_t* command);
