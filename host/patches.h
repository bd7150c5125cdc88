// The four code patches that route the host into the module: the records of
// the instructions written, and the check that every site still holds what
// its patch replaces. Every byte goes through one writer, which reads the
// site just before it writes and checks it after.
#pragma once

#include <cstdint>

#include "host/host_addresses.h"

#pragma pack(push, 1)
struct CallRel32 {
    uint8_t opcode;  // E8 xxxxxxxx: CALL +5+xxxxxxxx
    int32_t operand;
};
struct JmpRel32 {
    uint8_t opcode;  // E9 xxxxxxxx: JMP +5+xxxxxxxx
    int32_t operand;
};
// What replaces the first 7 bytes of the host's text lookup function.
struct TextLookupEntryJump {
    JmpRel32 jump;    // to the TextLookupHook
    uint8_t nops[2];  // 90 90: NOP, NOP (never run; they fill the 7 bytes)
};
#pragma pack(pop)
static_assert(sizeof(CallRel32) == 5, "CALL rel32 is 5 bytes");
static_assert(sizeof(JmpRel32) == 5, "JMP rel32 is 5 bytes");
static_assert(sizeof(TextLookupEntryJump) == 7, "the text lookup entry patch covers 7 bytes");

static const uint8_t kCallRel32Opcode = 0xE8;
static const uint8_t kJmpRel32Opcode = 0xE9;
static const uint8_t kNopOpcode = 0x90;

// The host text lookup's first four instructions, which patch 4 replaces:
// push EBX; push EBP; mov EBX, ECX; sub ESP, 0x40.
static const uint8_t kTextLookupEntryBytes[7] = { 0x53, 0x55, 0x8B, 0xD9, 0x83, 0xEC, 0x40 };

// Where the patches send the host.
struct HookEntries {
    uintptr_t tick;              // ScriptTick
    uintptr_t shutdown;          // ShutdownHook
    uintptr_t reinit;            // ReinitHook
    uintptr_t textLookup;        // TextLookupHook
    uintptr_t textLookupReplay;  // TextLookupEntryReplay: the lookup's replaced entry, then the rest of it
};

// Where the shutdown, re-initialisation and text lookup hooks go on after
// their own work: where the game's site led before the module patched it.
// That is the game's own code, or the hook of another mod that hooked the
// site first. Set by PatchHost before it writes each site; read by the hooks.
struct HookOnwards {
    uintptr_t shutdown;    // what the shutdown CALL called
    uintptr_t reinit;      // what the re-initialisation CALL called
    uintptr_t textLookup;  // TextLookupEntryReplay, or the target of another mod's JMP at the lookup's entry
};
extern HookOnwards hookOnwards;

// The rel32 operand of an instruction ending at site that goes to target,
// as a 32-bit wrap-around difference.
int32_t Rel32To(uintptr_t site, uintptr_t target);

// The four sites, in the order they are patched.
enum HostSite { kTickSite, kShutdownSite, kReinitSite, kTextLookupSite, kHostSiteCount };

// The host bytes HostSitesMatch and ListSiteLeads read, by site: the CALL
// before each of the three call sites and the first 7 bytes of the text
// lookup. In a process that is not the host they may not be readable at all,
// so the caller makes sure they are before anything reads them.
struct HostByteRange {
    uintptr_t first;
    uint32_t count;
};
void ListHostSiteRanges(const HostAddresses& addresses, HostByteRange ranges[kHostSiteCount]);

// Where a site's instruction leads today, by site: the target of the CALL
// before each call site, and of a JMP rel32 at the text lookup's entry, as
// another mod that hooked the site first would have left it. An instruction
// that is neither leads to itself. The caller, which can ask the system
// whose memory an address is, tells the game's own code from another
// module's.
struct SiteLead {
    uintptr_t from;  // the instruction's first byte
    uintptr_t to;    // where it goes
};
void ListSiteLeads(const HostAddresses& addresses, SiteLead leads[kHostSiteCount]);

// A set of sites, one bit (1 << HostSite) each.
typedef unsigned HostSites;

// True when every site holds what its patch expects: a CALL rel32 before each
// of the three call sites, the shutdown and re-initialisation CALLs reaching
// their continuations, and the 7 known bytes at the text lookup entry. A site
// shared with another mod that hooked it first is held only to its lead: the
// mod's CALL or JMP stands where the game's bytes were.
bool HostSitesMatch(const HostAddresses& addresses, HostSites shared = 0);

// Writes patch 1 (tick), 2 (shutdown), 3 (re-initialisation) and 4 (text
// lookup), in this order, into a host whose sites match, each going on where
// its lead (as the check read it) went. A CALL gets a new rel32; the text
// lookup entry its 7 bytes, or, where another mod's JMP stands there, that
// JMP a new rel32, and nothing after it is touched. Each site is read again
// just before it is written and must still lead where the check saw it
// lead; the patching stops at a site that does not, or that does not hold
// its patch afterwards. Each hook is live from its own write on: whatever it
// reads must be in place before. Returns the first site not patched, or
// kHostSiteCount.
HostSite PatchHost(const HostAddresses& addresses, const HookEntries& hooks, const SiteLead leads[kHostSiteCount]);
