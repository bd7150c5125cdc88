// Field access on the host's running-script record (little-endian, unaligned).
#include "host/host_interface.h"

#include <cstring>

uint32_t ReadInstructionPointer(const HostScript* script)
{
    uint32_t value;
    memcpy(&value, script->bytes + kHostScriptInstructionPointer, 4);
    return value;
}

void WriteInstructionPointer(HostScript* script, uint32_t value)
{
    memcpy(script->bytes + kHostScriptInstructionPointer, &value, 4);
}

int32_t ReadLocal(const HostScript* script, uint32_t index)
{
    int32_t value;
    memcpy(&value, script->bytes + kHostScriptLocals + 4 * index, 4);
    return value;
}

void WriteLocal(HostScript* script, uint32_t index, int32_t value)
{
    memcpy(script->bytes + kHostScriptLocals + 4 * index, &value, 4);
}

uint8_t ReadCondition(const HostScript* script)
{
    return script->bytes[kHostScriptCondition];
}
