// What othermod.dll exports, for the tests of a game whose site another mod
// hooked first: its two hooks, by name, and the record they share (one site
// is hooked at a time).
#pragma once

#include <cstdint>

#include "hostsim/win32/host_code.h"

using namespace hostsim;

static const char kOtherModFile[] = "othermod.dll";
static const char kOtherModCallHook[] = "OtherModCallHook";
static const char kOtherModTextLookupHook[] = "OtherModTextLookupHook";
static const char kOtherModHookRecord[] = "otherModHook";

// Called, if set, each time the hook is reached, with the registers and the
// stack as they arrived (for the text lookup, the key is in first).
typedef void(__attribute__((stdcall)) * OtherModArrival)(const ArrivalFrame* arrived);

struct OtherModHook {
    uintptr_t onward;           // where the hooked site led before; set by the test
    volatile long arrivals;     // how often the hook was reached
    OtherModArrival onArrival;  // set by the test
};
