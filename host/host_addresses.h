// The host addresses the module uses, for the running host version.
// Filled with the first version's values; DllMain overwrites the entries that
// differ when it finds the second version. The native build points the two
// addresses the command bridge uses at the substitute host's own.
#pragma once

#include <cstdint>

enum HostVersion {
    kHostVersionFirst,   // any version byte but 0x81
    kHostVersionSecond,  // version byte 0x81
};

// Where the game's program is loaded: it has no relocations, and every
// address below assumes it there.
static const uintptr_t kHostImageBase = 0x400000;
static const uintptr_t kHostVersionByteAddress = 0x608578;
static const uint8_t kSecondVersionByte = 0x81;

struct HostAddresses {
    uintptr_t interpreter;             // one-command interpreter
    uintptr_t scriptSpaceBase;         // host script space start
    uintptr_t tickCallSite;            // just past the CALL of the script tick
    uintptr_t shutdownCallSite;        // just past the CALL of the shutdown
    uintptr_t shutdownContinuation;    // what the shutdown CALL called
    uintptr_t reinitCallSite;          // just past the CALL of the script re-initialisation
    uintptr_t reinitContinuation;      // what the re-initialisation CALL called
    uintptr_t textLookupPatchPoint;    // text lookup entry + 5
    uintptr_t textLookupContinuation;  // text lookup entry + 7
};

extern const HostAddresses kFirstVersionAddresses;
extern const HostAddresses kSecondVersionAddresses;

// Written only by DllMain (or, natively, by the substitute host) before any
// script runs; read-only afterwards.
extern HostAddresses hostAddresses;
