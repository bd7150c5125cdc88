// The readable log of a run: one line for what a user would notice, named
// models by name, the directions sent to peds and cars, and a state sent
// again unchanged folded into one line.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "hostsim/record/trace.h"

namespace hostsim {

// What the log remembers of the run so far.
struct ReadableLog {
    bool colour = false;                           // terminal colour codes
    std::map<int32_t, std::string> specialModels;  // special slot -> the name last loaded
    struct Held {
        std::string line;        // the state as last printed ("CLOCK 21:00")
        int repeats = 0;         // sent again unchanged since
        int64_t lastRepeat = 0;  // when last sent again
    };
    std::map<std::string, Held> held;  // by the state's word ("CLOCK")
};

// The lines the record adds, each ending in a newline; "" when it adds none.
std::string ReadableLogLines(ReadableLog& log, const TraceRecord& record);

// The lines of single commands after their time, one a row of the host's
// command table that the log tells of.
std::string LogSpecialModel(ReadableLog& log, const TraceRecord& record);  // remembers the name, tells nothing
std::string LogFade(ReadableLog& log, const TraceRecord& record);
std::string LogPedCreated(ReadableLog& log, const TraceRecord& record);
std::string LogCarCreated(ReadableLog& log, const TraceRecord& record);
std::string LogPedRemoved(ReadableLog& log, const TraceRecord& record);
std::string LogCarRemoved(ReadableLog& log, const TraceRecord& record);
std::string LogMarkerPlaced(ReadableLog& log, const TraceRecord& record);
std::string LogMarkerRemoved(ReadableLog& log, const TraceRecord& record);
std::string LogClock(ReadableLog& log, const TraceRecord& record);
std::string LogWeather(ReadableLog& log, const TraceRecord& record);
std::string LogPlayerModel(ReadableLog& log, const TraceRecord& record);
std::string LogPedDirection(ReadableLog& log, const TraceRecord& record);
std::string LogCarDirection(ReadableLog& log, const TraceRecord& record);

}  // namespace hostsim
