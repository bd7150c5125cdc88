// Checking and writing the four host code patches.
#include "host/patches.h"

#include <cstring>

#include "platform/platform.h"

int32_t Rel32To(uintptr_t site, uintptr_t target)
{
    return static_cast<int32_t>(static_cast<uint32_t>(target) - static_cast<uint32_t>(site));
}

static const uint8_t* HostBytes(uintptr_t address)
{
    return reinterpret_cast<const uint8_t*>(address);
}

static bool HoldsCall(uintptr_t site)
{
    return HostBytes(site - sizeof(CallRel32))[0] == kCallRel32Opcode;
}

static bool HoldsCallTo(uintptr_t site, uintptr_t target)
{
    CallRel32 call;
    memcpy(&call, HostBytes(site - sizeof call), sizeof call);
    return call.opcode == kCallRel32Opcode && call.operand == Rel32To(site, target);
}

static uintptr_t TextLookupEntry(const HostAddresses& addresses)
{
    return addresses.textLookupPatchPoint - sizeof(JmpRel32);
}

void ListHostSiteRanges(const HostAddresses& addresses, HostByteRange ranges[kHostSiteCount])
{
    ranges[kTickSite] = { addresses.tickCallSite - sizeof(CallRel32), sizeof(CallRel32) };
    ranges[kShutdownSite] = { addresses.shutdownCallSite - sizeof(CallRel32), sizeof(CallRel32) };
    ranges[kReinitSite] = { addresses.reinitCallSite - sizeof(CallRel32), sizeof(CallRel32) };
    ranges[kTextLookupSite] = { TextLookupEntry(addresses), sizeof kTextLookupEntryBytes };
}

// Where the rel32 instruction at from goes, if it is one with that opcode.
template <typename Rel32Instruction>
static SiteLead LeadOf(uintptr_t from, uint8_t opcode)
{
    Rel32Instruction instruction;
    memcpy(&instruction, HostBytes(from), sizeof instruction);
    SiteLead lead = { from, from };
    if (instruction.opcode == opcode)
        lead.to = from + sizeof instruction + static_cast<uint32_t>(instruction.operand);
    return lead;
}

void ListSiteLeads(const HostAddresses& addresses, SiteLead leads[kHostSiteCount])
{
    leads[kTickSite] = LeadOf<CallRel32>(addresses.tickCallSite - sizeof(CallRel32), kCallRel32Opcode);
    leads[kShutdownSite] = LeadOf<CallRel32>(addresses.shutdownCallSite - sizeof(CallRel32), kCallRel32Opcode);
    leads[kReinitSite] = LeadOf<CallRel32>(addresses.reinitCallSite - sizeof(CallRel32), kCallRel32Opcode);
    leads[kTextLookupSite] = LeadOf<JmpRel32>(TextLookupEntry(addresses), kJmpRel32Opcode);
}

bool HostSitesMatch(const HostAddresses& addresses)
{
    uintptr_t textLookupEntry = TextLookupEntry(addresses);
    return HoldsCall(addresses.tickCallSite) &&
           HoldsCallTo(addresses.shutdownCallSite, addresses.shutdownContinuation) &&
           HoldsCallTo(addresses.reinitCallSite, addresses.reinitContinuation) &&
           memcmp(HostBytes(textLookupEntry), kTextLookupEntryBytes, sizeof kTextLookupEntryBytes) == 0;
}

// Retargets the CALL that ends at site; its opcode stays as it was.
static void RetargetCall(uintptr_t site, uintptr_t hook)
{
    CallRel32 call;
    call.opcode = kCallRel32Opcode;
    call.operand = Rel32To(site, hook);
    WriteCodeBytes(site - sizeof call, &call, sizeof call);
}

// Replaces the text lookup's first 7 bytes with a jump to the hook.
static void JumpFromTextLookupEntry(uintptr_t patchPoint, uintptr_t hook)
{
    TextLookupEntryJump entry;
    entry.jump.opcode = kJmpRel32Opcode;
    entry.jump.operand = Rel32To(patchPoint, hook);
    entry.nops[0] = kNopOpcode;
    entry.nops[1] = kNopOpcode;
    WriteCodeBytes(patchPoint - sizeof entry.jump, &entry, sizeof entry);
}

void PatchHost(const HostAddresses& addresses, const HookEntries& hooks)
{
    RetargetCall(addresses.tickCallSite, hooks.tick);
    RetargetCall(addresses.shutdownCallSite, hooks.shutdown);
    RetargetCall(addresses.reinitCallSite, hooks.reinit);
    JumpFromTextLookupEntry(addresses.textLookupPatchPoint, hooks.textLookup);
}
