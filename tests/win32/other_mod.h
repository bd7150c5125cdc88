// What othermod.dll exports, for the tests of a game whose site another mod
// hooked first: its two hooks, by name, and the record they share (one site
// is hooked at a time).
#pragma once

#include <cstdint>

static const char kOtherModFile[] = "othermod.dll";
static const char kOtherModCallHook[] = "OtherModCallHook";
static const char kOtherModTextLookupHook[] = "OtherModTextLookupHook";
static const char kOtherModHookRecord[] = "otherModHook";

struct OtherModHook {
    uintptr_t onward;        // where the hooked site led before; set by the test
    volatile long arrivals;  // how often the hook was reached
};
