// One command as the host's interpreter reads it from script space, by the
// shape its own table gives the command, and what handlers read of it.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "host/host_interface.h"
#include "hostsim/commands/host_commands.h"
#include "hostsim/record/trace.h"

namespace hostsim {

struct DecodedCommand {
    const HostCommand* row;  // the command's row of the host's table
    uint16_t id;
    std::vector<TraceArgument> args;
    std::vector<int> variableSlots;
    char labels[4][9];  // the label arguments as the host reads them, 0-terminated
    size_t length;      // bytes read from script space
};

// False, with the problem, for a command the host does not know or one whose
// arguments do not have its shape.
bool DecodeCommand(const uint8_t* code, HostScript* record, DecodedCommand* command, std::string* problem);

inline float Float(const DecodedCommand& command, int n)
{
    return command.args[n].f;
}

inline int32_t Int(const DecodedCommand& command, int n)
{
    return command.args[n].i;
}

// The command's variable-th variable argument gets the value.
inline void SetLocal(HostScript* record, const DecodedCommand& command, int variable, int32_t value)
{
    WriteLocal(record, command.variableSlots[variable], value);
}

inline void SetFloatLocal(HostScript* record, const DecodedCommand& command, int variable, float value)
{
    int32_t bits;
    memcpy(&bits, &value, 4);
    SetLocal(record, command, variable, bits);
}

inline void SetCondition(HostScript* record, bool value)
{
    record->bytes[kHostScriptCondition] = value ? 1 : 0;
}

}  // namespace hostsim
