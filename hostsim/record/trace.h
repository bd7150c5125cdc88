// The substitute host's trace: one record for everything the host saw, in
// order, written as JSON Lines (here) or as a readable log (readable_log.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace hostsim {

struct TraceArgument {
    char kind;      // 'i', 'f', 's', 'v', 'z'
    int32_t i = 0;  // 'i'; for 'v' the value sent
    float f = 0;    // 'f'
    std::string s;  // 's': up to the first 0 byte, at most 8 characters
    int slot = 0;   // 'v'
};

// What a record tells of; its "kind" in the trace is RecordKindName's.
enum RecordKind {
    kCommandRecord,   // "cmd": a command a script sent
    kTextRecord,      // "text": a text shown
    kStallRecord,     // "stall": a stall of the host's thread
    kReinitRecord,    // "reinit": the host's re-initialisation call
    kShutdownRecord,  // "shutdown": the host's shutdown call
    kErrorRecord,     // "error": something the host found wrong
    kWorldRecord,     // "world": a snapshot of the world
    kEndRecord,       // "end": the run's last record
};
const char* RecordKindName(RecordKind kind);

struct TraceRecord {
    int64_t t = 0;
    RecordKind kind = kCommandRecord;
    int script = 0;                   // cmd, text, stall: the host script's number
    uint16_t id = 0;                  // cmd, text, stall
    std::vector<TraceArgument> args;  // cmd
    int cond = 0;                     // cmd
    std::vector<int32_t> out;         // cmd with variables: the locals left
    std::string key, text;            // text (text as UTF-8)
    int ms = 0, style = 0;            // text; stall: its real ms, kStallForever (-1) for one that never ends
    bool hasNumber = false;           // a text that carries a number ("show number text")
    int number = 0;
    std::string what;   // error
    std::string world;  // world: the fields after "kind", as JSON
};

std::string TraceRecordJson(const TraceRecord& record);
// A command's id as the trace writes it, four upper-case hex digits: "00BC".
std::string CommandIdText(uint16_t id);
// Appends the text as a JSON string, quoted and escaped.
void AppendJsonString(std::string& out, const std::string& text);

}  // namespace hostsim
