// The substitute host's table of the commands it knows: one row a command,
// with its argument shape, its name, the handler that imitates it and what
// the readable log and the labels say of it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "hostsim/record/trace.h"

namespace hostsim {

struct DecodedCommand;
struct EngineScript;
struct ReadableLog;

// What the command does to the game (command_handlers.h).
typedef void (*CommandHandler)(const DecodedCommand& command, EngineScript* script);

// The readable log's line for the command after its time; "" for none
// (readable_log.h).
typedef std::string (*CommandLogLine)(ReadableLog& log, const TraceRecord& record);

// A direction to a ped or car in words: as its label shows it ("anim 19,
// 2 s") or as the readable log tells it after the ped or car ("anim 19 for
// 2000 ms") (directions.h).
enum WordsFor { kLabelWords, kLogWords };
typedef std::string (*DirectionWords)(uint16_t id, const std::vector<TraceArgument>& args, WordsFor form);

// What the window makes of a command, beside what its handler does.
enum CommandKind {
    kPlainCommand,
    kWaitCommand,   // a script's wait: the window's list of commands leaves it out
    kFirstMapBox,   // a map box, drawn in the first of the window's two box styles
    kSecondMapBox,  // a map box, drawn in the second
};

struct HostCommand {
    uint16_t id;
    const char* shape;       // i int, f float, s 8-byte label, v local variable, z end byte
    const char* name;        // "" for a command the host only decodes and records
    CommandHandler handler;  // nullptr: decoded and recorded, nothing more
    CommandLogLine logLine;  // nullptr: left out of the readable log
    DirectionWords words;    // a direction's words; nullptr for a command that directs no ped or car
    CommandKind kind;
};

extern const HostCommand kHostCommands[];
extern const size_t kHostCommandCount;

// The command's row; nullptr for one the host does not know.
const HostCommand* FindHostCommand(uint16_t id);

}  // namespace hostsim
