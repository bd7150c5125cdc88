// The substitute host's image: the host's code laid at its fixed addresses
// for one host version, and what that code saw when it ran.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace hostsim {

// One of the host's code pieces; a test may lay one of them 16 bytes further
// on than the known versions have it, as in a host build the module does
// not know.
enum HostPiece {
    kNoPieceMoved,
    kTickRoutine,
    kShutdownRoutine,
    kShutdownContinuation,
    kReinitRoutine,
    kReinitContinuation,
    kTextLookup,
};

// Where the laid code is.
struct HostImage {
    int version;
    uintptr_t interpreter;  // jump into the engine's interpreter
    uintptr_t scriptSpace;
    uintptr_t versionByte;
    uintptr_t tickRoutine;
    uintptr_t tickCallSite;
    uintptr_t shutdownRoutine;
    uintptr_t shutdownCallSite;
    uintptr_t shutdownContinuation;
    uintptr_t reinitRoutine;
    uintptr_t reinitCallSite;
    uintptr_t reinitContinuation;
    uintptr_t textLookup;  // the text lookup function's entry
    uintptr_t textCaller;  // the host's own call of it
};

// What the host's code saw. Touched by the host's thread, and by the script
// thread holding the turn when it looks up a text.
struct HostSiteLog {
    int ownScriptSteps = 0;  // the host's own step ran: the tick site is not patched
    int shutdownArrivals = 0;
    int reinitArrivals = 0;
    int textLookups = 0;              // reached the host's own lookup body
    std::vector<std::string> faults;  // what arrived not as the host's caller sent it
};

extern HostImage hostImage;
extern HostSiteLog hostSiteLog;

// The faults seen so far, which the log then no longer holds.
std::vector<std::string> TakeSiteFaults();

// The host's text store object, passed in ECX to the text lookup.
extern const uint8_t hostTextStore[16];

// False, with the reason, when the arena is not where the host's addresses are.
bool HostArenaInPlace(std::string* problem);

// Lays the host's code for version 1 or 2 (version byte 0x81 for 2) and
// makes the code pages execute-read, as a host image's code is.
void LayHostImage(int version, HostPiece moved = kNoPieceMoved);

// The host's code at work: each returns what the host routine returned.
uint32_t CallHostTick(void* record);
void CallHostShutdown();
void CallHostReinit();
const char16_t* CallHostTextLookup(const char* key);

}  // namespace hostsim
