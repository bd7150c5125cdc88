// What the tests ask of a substitute host trace: one match of a record by
// kind, command id, script and text key, and the questions built on it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "game/command_catalogue.h"
#include "hostsim/record/trace.h"

using namespace hostsim;

// A record of one kind and, where given, of one command id, script or text key.
struct RecordMatch {
    RecordKind kind;
    int id = -1;                // a command's or text's id; -1 for any
    int script = -1;            // the host script's number; -1 for any
    const char* key = nullptr;  // a text's key; nullptr for any

    bool operator()(const TraceRecord& record) const
    {
        return record.kind == kind && (id < 0 || record.id == id) && (script < 0 || record.script == script) &&
               (!key || record.key == key);
    }
};

inline RecordMatch CommandWithId(uint16_t id)
{
    return { kCommandRecord, id };
}

inline bool IsCommand(const TraceRecord& record, uint16_t id)
{
    return CommandWithId(id)(record);
}

inline RecordMatch CommandFromScript(int script)
{
    return { kCommandRecord, -1, script };
}

inline RecordMatch TextWithKey(const char* key)
{
    return { kTextRecord, -1, -1, key };
}

inline bool IsText(const TraceRecord& record, const char* key)
{
    return TextWithKey(key)(record);
}

// The index of the first record that matches at or after from; trace.size()
// when there is none.
inline size_t Find(const std::vector<TraceRecord>& trace, const RecordMatch& match, size_t from = 0)
{
    while (from < trace.size() && !match(trace[from]))
        ++from;
    return from;
}

// The records that match, in order, from the index on.
inline std::vector<TraceRecord> Select(const std::vector<TraceRecord>& trace, const RecordMatch& match, size_t from = 0)
{
    std::vector<TraceRecord> records;
    for (size_t n = Find(trace, match, from); n < trace.size(); n = Find(trace, match, n + 1))
        records.push_back(trace[n]);
    return records;
}

inline std::vector<TraceRecord> Commands(const std::vector<TraceRecord>& trace)
{
    return Select(trace, { kCommandRecord });
}

inline std::vector<TraceRecord> CommandsWithId(const std::vector<TraceRecord>& trace, uint16_t id, size_t from = 0)
{
    return Select(trace, CommandWithId(id), from);
}

inline std::vector<TraceRecord> Texts(const std::vector<TraceRecord>& trace)
{
    return Select(trace, { kTextRecord });
}

inline size_t FindText(const std::vector<TraceRecord>& trace, const std::string& key, size_t from = 0)
{
    return Find(trace, TextWithKey(key.c_str()), from);
}

inline size_t FindCommand(const std::vector<TraceRecord>& trace, uint16_t id, size_t from = 0)
{
    return Find(trace, CommandWithId(id), from);
}

// Every error record's message, one per line: empty when the run was clean.
inline std::string Errors(const std::vector<TraceRecord>& trace)
{
    std::string errors;
    for (const TraceRecord& record : Select(trace, { kErrorRecord }))
        errors += "t=" + std::to_string(record.t) + " " + record.what + "\n";
    return errors;
}

// The ids of the command records, as four hex digits each, for readable failure messages.
inline std::vector<std::string> CommandIds(const std::vector<TraceRecord>& trace)
{
    std::vector<std::string> ids;
    for (const TraceRecord& record : Commands(trace))
        ids.push_back(CommandIdText(record.id));
    return ids;
}

// The models of the cars made from the index on, in order, up to the host
// time `until` (ms, included).
inline std::vector<int32_t> CarModelsMade(const std::vector<TraceRecord>& trace, size_t from = 0,
                                          int64_t until = INT64_MAX)
{
    std::vector<int32_t> models;
    for (const TraceRecord& record : CommandsWithId(trace, kCreateCar.id, from))
        if (record.t <= until)
            models.push_back(record.args[0].i);
    return models;
}
