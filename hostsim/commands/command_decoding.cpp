#include "hostsim/commands/command_decoding.h"

#include <cstdio>

namespace hostsim {

bool DecodeCommand(const uint8_t* code, HostScript* record, DecodedCommand* command, std::string* problem)
{
    memcpy(&command->id, code, 2);
    command->row = FindHostCommand(command->id);
    if (!command->row) {
        *problem = "unknown command " + CommandIdText(command->id);
        return false;
    }
    const uint8_t* at = code + 2;
    int labelCount = 0;
    for (const char* letter = command->row->shape; *letter; ++letter) {
        TraceArgument argument;
        argument.kind = *letter;
        uint8_t type = *at;
        switch (*letter) {
        case 'i':
            if (type != 0x01)
                break;
            memcpy(&argument.i, at + 1, 4);
            at += 5;
            command->args.push_back(argument);
            continue;
        case 'f':
            if (type != 0x06)
                break;
            memcpy(&argument.f, at + 1, 4);
            at += 5;
            command->args.push_back(argument);
            continue;
        case 'v': {
            if (type != 0x03)
                break;
            uint16_t slot;
            memcpy(&slot, at + 1, 2);
            if (slot >= kHostScriptLocalCount)
                break;
            argument.slot = slot;
            argument.i = ReadLocal(record, slot);
            command->variableSlots.push_back(slot);
            at += 3;
            command->args.push_back(argument);
            continue;
        }
        case 's': {
            char* label = command->labels[labelCount++ % 4];
            memcpy(label, at, 8);
            label[8] = 0;
            argument.s = label;
            at += 8;
            command->args.push_back(argument);
            continue;
        }
        case 'z':
            if (type != 0x00)
                break;
            at += 1;
            command->args.push_back(argument);
            continue;
        }
        char text[80];
        snprintf(text, sizeof text, ": argument %d should be '%c', type byte %02X",
                 static_cast<int>(command->args.size()) + 1, *letter, type);
        *problem = "malformed command " + CommandIdText(command->id) + text;
        return false;
    }
    command->length = static_cast<size_t>(at - code);
    return true;
}

}  // namespace hostsim
