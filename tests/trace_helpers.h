// Small helpers for reading a substitute host trace in tests.
#pragma once

#include <string>
#include <vector>

#include "hostsim/record/trace.h"

// The command records, in order.
inline std::vector<TraceRecord> Commands(const std::vector<TraceRecord>& trace)
{
    std::vector<TraceRecord> commands;
    for (const TraceRecord& record : trace)
        if (record.kind == "cmd")
            commands.push_back(record);
    return commands;
}

// The command records with one id, in order.
inline std::vector<TraceRecord> CommandsWithId(const std::vector<TraceRecord>& trace, uint16_t id)
{
    std::vector<TraceRecord> commands;
    for (const TraceRecord& record : trace)
        if (record.kind == "cmd" && record.id == id)
            commands.push_back(record);
    return commands;
}

// The text records, in order.
inline std::vector<TraceRecord> Texts(const std::vector<TraceRecord>& trace)
{
    std::vector<TraceRecord> texts;
    for (const TraceRecord& record : trace)
        if (record.kind == "text")
            texts.push_back(record);
    return texts;
}

// Every error record's message, one per line: empty when the run was clean.
inline std::string Errors(const std::vector<TraceRecord>& trace)
{
    std::string errors;
    for (const TraceRecord& record : trace)
        if (record.kind == "error")
            errors += "t=" + std::to_string(record.t) + " " + record.what + "\n";
    return errors;
}

// The ids of the command records, as four hex digits each, for readable failure messages.
inline std::vector<std::string> CommandIds(const std::vector<TraceRecord>& trace)
{
    std::vector<std::string> ids;
    for (const TraceRecord& record : trace) {
        if (record.kind != "cmd")
            continue;
        ids.push_back(CommandIdText(record.id));
    }
    return ids;
}

// The index of the first text record with the key at or after from;
// trace.size() when there is none.
inline size_t FindText(const std::vector<TraceRecord>& trace, const std::string& key, size_t from = 0)
{
    for (size_t n = from; n < trace.size(); ++n)
        if (trace[n].kind == "text" && trace[n].key == key)
            return n;
    return trace.size();
}

// The index of the first command record with the id at or after from;
// trace.size() when there is none.
inline size_t FindCommand(const std::vector<TraceRecord>& trace, uint16_t id, size_t from = 0)
{
    for (size_t n = from; n < trace.size(); ++n)
        if (trace[n].kind == "cmd" && trace[n].id == id)
            return n;
    return trace.size();
}
