// Reading wrapper commands back out of a substitute host trace: one short
// line per command, so that expectations read like the commands they pin down.
#pragma once

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "hostsim/record/trace.h"
#include "tests/trace_helpers.h"

using namespace hostsim;

// "00F6 v1 f1.5 f2 i0": the id, then each argument as the host decoded it
// (a variable shows the value that was sent in it).
inline std::string RenderCommand(const TraceRecord& record)
{
    char text[64];
    std::string line = CommandIdText(record.id);
    for (const TraceArgument& argument : record.args) {
        switch (argument.kind) {
        case 'i':
            snprintf(text, sizeof text, " i%d", argument.i);
            break;
        case 'f':
            snprintf(text, sizeof text, " f%g", argument.f);
            break;
        case 's':
            snprintf(text, sizeof text, " s%s", argument.s.c_str());
            break;
        case 'v':
            snprintf(text, sizeof text, " v%d", argument.i);
            break;
        default:
            snprintf(text, sizeof text, " %c", argument.kind);
            break;
        }
        line += text;
    }
    return line;
}

// As RenderCommand, with the condition the host left: "0248 i7 =1".
inline std::string RenderWithCondition(const TraceRecord& record)
{
    return RenderCommand(record) + (record.cond ? " =1" : " =0");
}

inline std::vector<std::string> RenderCommands(const std::vector<TraceRecord>& trace, bool withCondition = false)
{
    std::vector<std::string> lines;
    for (const TraceRecord& record : Commands(trace))
        lines.push_back(withCondition ? RenderWithCondition(record) : RenderCommand(record));
    return lines;
}

// A variable output of a command, read as the float the host wrote.
inline float FloatOut(const TraceRecord& record, size_t variable)
{
    float value;
    memcpy(&value, &record.out.at(variable), 4);
    return value;
}
