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

static bool IsShared(HostSites shared, HostSite site)
{
    return (shared & (1u << site)) != 0;
}

bool HostSitesMatch(const HostAddresses& addresses, HostSites shared)
{
    uintptr_t textLookupEntry = TextLookupEntry(addresses);
    return HoldsCall(addresses.tickCallSite) &&
           (IsShared(shared, kShutdownSite) ||
            HoldsCallTo(addresses.shutdownCallSite, addresses.shutdownContinuation)) &&
           (IsShared(shared, kReinitSite) || HoldsCallTo(addresses.reinitCallSite, addresses.reinitContinuation)) &&
           (IsShared(shared, kTextLookupSite) ||
            memcmp(HostBytes(textLookupEntry), kTextLookupEntryBytes, sizeof kTextLookupEntryBytes) == 0);
}

HookOnwards hookOnwards;

// One site's patch: the bytes it replaces, as the site's lead says they
// are, and the bytes it writes over them.
struct SitePatch {
    uintptr_t at;
    uint32_t count;
    uint8_t found[sizeof(TextLookupEntryJump)];
    uint8_t written[sizeof(TextLookupEntryJump)];
};

// A rel32 instruction from lead.from: as the lead found it, and going to
// the hook instead.
template <typename Rel32Instruction>
static SitePatch Retarget(const SiteLead& lead, uint8_t opcode, uintptr_t hook)
{
    const uintptr_t end = lead.from + sizeof(Rel32Instruction);
    const Rel32Instruction found = { opcode, Rel32To(end, lead.to) };
    const Rel32Instruction written = { opcode, Rel32To(end, hook) };
    SitePatch patch = { lead.from, sizeof(Rel32Instruction), {}, {} };
    memcpy(patch.found, &found, sizeof found);
    memcpy(patch.written, &written, sizeof written);
    return patch;
}

// The text lookup's own first 7 bytes, replaced by a jump to the hook.
static SitePatch JumpFromTextLookupEntry(uintptr_t entry, uintptr_t hook)
{
    TextLookupEntryJump jump;
    jump.jump.opcode = kJmpRel32Opcode;
    jump.jump.operand = Rel32To(entry + sizeof jump.jump, hook);
    jump.nops[0] = kNopOpcode;
    jump.nops[1] = kNopOpcode;
    SitePatch patch = { entry, sizeof jump, {}, {} };
    memcpy(patch.found, kTextLookupEntryBytes, sizeof kTextLookupEntryBytes);
    memcpy(patch.written, &jump, sizeof jump);
    return patch;
}

// The one writer of the host's code: it writes only over the bytes the
// patch replaces, read again just before, and checks that they hold the
// patch afterwards.
static bool WriteSitePatch(const SitePatch& patch)
{
    if (memcmp(HostBytes(patch.at), patch.found, patch.count) != 0)
        return false;
    return WriteCodeBytes(patch.at, patch.written, patch.count) &&
           memcmp(HostBytes(patch.at), patch.written, patch.count) == 0;
}

HostSite PatchHost(const HostAddresses& addresses, const HookEntries& hooks, const SiteLead leads[kHostSiteCount])
{
    const SiteLead& text = leads[kTextLookupSite];
    const bool textShared = text.to != text.from;
    hookOnwards.shutdown = leads[kShutdownSite].to;
    hookOnwards.reinit = leads[kReinitSite].to;
    hookOnwards.textLookup = textShared ? text.to : hooks.textLookupReplay;
    const SitePatch patches[kHostSiteCount] = {
        Retarget<CallRel32>(leads[kTickSite], kCallRel32Opcode, hooks.tick),
        Retarget<CallRel32>(leads[kShutdownSite], kCallRel32Opcode, hooks.shutdown),
        Retarget<CallRel32>(leads[kReinitSite], kCallRel32Opcode, hooks.reinit),
        textShared ? Retarget<JmpRel32>(text, kJmpRel32Opcode, hooks.textLookup)
                   : JumpFromTextLookupEntry(TextLookupEntry(addresses), hooks.textLookup),
    };
    for (int site = 0; site < kHostSiteCount; ++site)
        if (!WriteSitePatch(patches[site]))
            return static_cast<HostSite>(site);
    return kHostSiteCount;
}
