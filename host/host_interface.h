// What the module relies on from the host game: its running-script record,
// its script space and the calling convention of the host's entry points.
#pragma once

#include <cstdint>

// The host's calling convention for its entry points: the first argument in
// ECX, no stack argument. Natively the substitute host calls plain functions.
#if defined(_WIN32)
#define HOST_CALLBACK __attribute__((fastcall))
#else
#define HOST_CALLBACK
#endif

// The host's running-script record. The module touches only three fields and
// treats the rest as opaque bytes owned by the host.
struct HostScript {
    uint8_t bytes[0x80];
};

static const uint32_t kHostScriptInstructionPointer = 0x10;  // 32-bit offset into script space
static const uint32_t kHostScriptLocals = 0x30;              // local i at 0x30 + 4 * i
static const uint32_t kHostScriptLocalCount = 16;            // 0x30 .. 0x6F
static const uint32_t kHostScriptCondition = 0x79;           // condition result, non-zero is true

uint32_t ReadInstructionPointer(const HostScript* script);
void WriteInstructionPointer(HostScript* script, uint32_t value);
int32_t ReadLocal(const HostScript* script, uint32_t index);
void WriteLocal(HostScript* script, uint32_t index, int32_t value);
uint8_t ReadCondition(const HostScript* script);

// The host's one-command interpreter: runs the command at the record's
// instruction pointer, sets its condition byte and writes variable outputs
// into its locals.
typedef void(HOST_CALLBACK* HostInterpreter)(HostScript* script);
