// The readable log of a run: one line for what a user would notice, named
// models by name, the directions sent to peds and cars, and a state sent
// again unchanged folded into one line.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "hostsim/trace.h"

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
