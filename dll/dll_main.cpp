// The module's only entry point: on process attach it chooses the host
// addresses by the host's version byte, hands the scheduler the scripts'
// boot and patches the host's four sites. This is where the module is put
// together, so it alone knows both the host's hooks and the scripts.
// Any process may load the module (a launcher, a tool, another program that
// loads plug-ins), so nothing of the host is read before it is known to be
// readable, and a process that is not a known host build, or whose script
// tick another module has hooked first, is left untouched. Another mod's
// hook at the shutdown, the re-initialisation or the text lookup is shared:
// the module's hook goes on into it.
// One line of debug output says which of these happened; nothing else runs
// here, under the loader's lock.
#include <windows.h>

#include <cstring>

#include "host/host_addresses.h"
#include "host/patches.h"
#include "host/win32/hooks.h"
#include "script/scheduler.h"
#include "scripts/boot.h"

// Committed, and neither no-access nor a guard page: reading cannot fault.
static bool Readable(uintptr_t first, uint32_t count)
{
    const DWORD readableProtections = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                                      PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    const uintptr_t end = first + count;
    while (first < end) {
        MEMORY_BASIC_INFORMATION region;
        if (VirtualQuery(reinterpret_cast<const void*>(first), &region, sizeof region) == 0)
            return false;
        if (region.State != MEM_COMMIT || (region.Protect & (PAGE_NOACCESS | PAGE_GUARD)) != 0 ||
            (region.Protect & readableProtections) == 0)
            return false;
        first = reinterpret_cast<uintptr_t>(region.BaseAddress) + region.RegionSize;
    }
    return true;
}

static bool HostSitesReadable(const HostAddresses& addresses)
{
    HostByteRange ranges[kHostSiteCount];
    ListHostSiteRanges(addresses, ranges);
    for (const HostByteRange& range : ranges)
        if (!Readable(range.first, range.count))
            return false;
    return true;
}

// The host's code jumps into the module from now on: it must stay loaded for
// the rest of the process, whatever FreeLibrary calls follow.
static void StayLoaded(HINSTANCE self)
{
    HMODULE pinned;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       reinterpret_cast<LPCWSTR>(self), &pinned);
}

// Where the process's program is loaded.
static uintptr_t ProgramBase()
{
    HMODULE program = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT, nullptr, &program);
    return reinterpret_cast<uintptr_t>(program);
}

// The image (or other allocation) that holds the address.
static uintptr_t AllocationOf(uintptr_t address)
{
    MEMORY_BASIC_INFORMATION region;
    if (VirtualQuery(reinterpret_cast<const void*>(address), &region, sizeof region) == 0)
        return 0;
    return reinterpret_cast<uintptr_t>(region.AllocationBase);
}

// True when the site leads into a module other than the game's own image,
// with that module's path in path.
static bool LeadsIntoAnotherModule(const SiteLead& lead, char (&path)[MAX_PATH])
{
    HMODULE module;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(lead.to), &module) ||
        reinterpret_cast<uintptr_t>(module) == AllocationOf(lead.from))
        return false;
    // One short, so that the path ends in a 0 on every Windows.
    GetModuleFileNameA(module, path, sizeof path - 1);
    return true;
}

// The hook of a mod the module shares a site with must stay loaded as long
// as the module's hook jumps to it. Under the loader's lock, which DllMain
// holds, no module is unloaded, so the module found there is still loaded.
static void KeepLoaded(uintptr_t code)
{
    HMODULE pinned;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       reinterpret_cast<LPCWSTR>(code), &pinned);
}

// The file name at the end of a path: what a player finds in the game's folder.
static const char* FileName(const char* path)
{
    const char* name = path;
    for (const char* at = path; *at; ++at)
        if (*at == '\\' || *at == '/')
            name = at + 1;
    return name;
}

// What the attachment did, and the one line of debug output that says so:
// the outcome's text, then the file name of the other module it names, if
// any, then the sites it shares and where it stopped patching, if it did.
enum AttachOutcome {
    kAttachedToFirstVersion,
    kAttachedToSecondVersion,
    kGameNotWhereExpected,
    kVersionByteUnreadable,
    kSitesUnreadable,
    kUnknownHostBuild,
    kTickLeadsIntoAnotherModule,
    kTickLeadsOutOfTheGamesCode,
    kTickChangedWhilePatching,
    kAttachOutcomeCount
};

// clang-format off
static const char* const kAttachLines[] = {
    "Brindle Studios 1.1: attached to the game, version 1",                             // kAttachedToFirstVersion
    "Brindle Studios 1.1: attached to the game, version 2",                             // kAttachedToSecondVersion
    "Brindle Studios 1.1: not attached, this process is left untouched: its program "
    "is not loaded at 0x400000, where the game's code must be, so this is not the "
    "game or the game was moved",                                                       // kGameNotWhereExpected
    "Brindle Studios 1.1: not attached, this process is left untouched: the game's "
    "version byte (0x608578) is not readable here, so this is not the game",            // kVersionByteUnreadable
    "Brindle Studios 1.1: not attached, this process is left untouched: the game's "
    "code it would patch is not readable here, so this is not the game",                // kSitesUnreadable
    "Brindle Studios 1.1: not attached, this process is left untouched: its code is "
    "not that of either game build the module knows (version 1 or 2)",                  // kUnknownHostBuild
    "Brindle Studios 1.1: not attached, this process is left untouched: the game's "
    "script tick already leads into ",                                                  // kTickLeadsIntoAnotherModule
    "Brindle Studios 1.1: not attached, this process is left untouched: the game's "
    "script tick already leads out of the game's own code",                             // kTickLeadsOutOfTheGamesCode
    "Brindle Studios 1.1: not attached, this process is left untouched: the game's "
    "script tick changed while the module was patching the game",                      // kTickChangedWhilePatching
};
// clang-format on
static_assert(sizeof kAttachLines / sizeof kAttachLines[0] == kAttachOutcomeCount, "one line for every outcome");

// The sites' names in the line, after "the game's".
// clang-format off
static const char* const kSiteNames[] = {
    "script tick",               // kTickSite
    "shutdown",                  // kShutdownSite
    "script re-initialisation",  // kReinitSite
    "text lookup",               // kTextLookupSite
};
// clang-format on
static_assert(sizeof kSiteNames / sizeof kSiteNames[0] == kHostSiteCount, "one name for every site");

// What DllMain says besides the outcome: the module another mod's hook at a
// refused site lies in, the modules it shares sites with, and the site it
// stopped at, if a site changed while it patched.
struct AttachDetails {
    char otherModule[MAX_PATH];
    char sharedWith[kHostSiteCount][MAX_PATH];  // empty for a site not shared
    HostSite stoppedAt;
};

// The script tick cannot be shared: the module's tick replaces the game's own
// script step, so a mod that hooked it first would be cut off without a
// word. The shutdown and re-initialisation CALLs and the text lookup entry
// may lead into another module: its hook is where the module's hook goes on.
// The tick CALL's target is known only to lie in the game's image, with the
// call site; the other sites are held to the game's own bytes besides
// (HostSitesMatch), unless they are shared.
static bool SitesLeadIntoTheGameOrAMod(const SiteLead leads[kHostSiteCount], AttachOutcome* refusal,
                                       AttachDetails* details, HostSites* shared)
{
    if (LeadsIntoAnotherModule(leads[kTickSite], details->otherModule)) {
        *refusal = kTickLeadsIntoAnotherModule;
        return false;
    }
    if (AllocationOf(leads[kTickSite].to) != AllocationOf(leads[kTickSite].from)) {
        *refusal = kTickLeadsOutOfTheGamesCode;
        return false;
    }
    for (int site = kShutdownSite; site < kHostSiteCount; ++site)
        if (LeadsIntoAnotherModule(leads[site], details->sharedWith[site]))
            *shared |= 1u << site;
    return true;
}

static AttachOutcome AttachToHost(HINSTANCE self, AttachDetails* details)
{
    if (ProgramBase() != kHostImageBase)
        return kGameNotWhereExpected;
    if (!Readable(kHostVersionByteAddress, 1))
        return kVersionByteUnreadable;
    const uint8_t versionByte = *reinterpret_cast<const volatile uint8_t*>(kHostVersionByteAddress);
    const bool second = versionByte == kSecondVersionByte;
    const HostAddresses& addresses = second ? kSecondVersionAddresses : kFirstVersionAddresses;
    if (!HostSitesReadable(addresses))
        return kSitesUnreadable;
    SiteLead leads[kHostSiteCount];
    ListSiteLeads(addresses, leads);
    AttachOutcome refusal;
    HostSites shared = 0;
    if (!SitesLeadIntoTheGameOrAMod(leads, &refusal, details, &shared))
        return refusal;
    if (!HostSitesMatch(addresses, shared))
        return kUnknownHostBuild;
    // Each hook reads the table as soon as its site is written, and a game
    // thread may reach it before the last site is: the table comes first.
    hostAddresses = addresses;
    SetScriptBoot(kStudioScriptBoot);
    for (int site = kShutdownSite; site < kHostSiteCount; ++site)
        if (shared & (1u << site))
            KeepLoaded(leads[site].to);
    HookEntries hooks;
    hooks.tick = reinterpret_cast<uintptr_t>(ScriptTick);
    hooks.shutdown = reinterpret_cast<uintptr_t>(ShutdownHook);
    hooks.reinit = reinterpret_cast<uintptr_t>(ReinitHook);
    hooks.textLookup = reinterpret_cast<uintptr_t>(TextLookupHook);
    hooks.textLookupReplay = reinterpret_cast<uintptr_t>(TextLookupEntryReplay);
    details->stoppedAt = PatchHost(addresses, hooks, leads);
    if (details->stoppedAt == kTickSite)
        return kTickChangedWhilePatching;
    StayLoaded(self);
    return second ? kAttachedToSecondVersion : kAttachedToFirstVersion;
}

// Appends text to the line as far as it fits, keeping it terminated.
static void Append(char* line, size_t size, const char* text)
{
    size_t length = strlen(line);
    while (*text && length + 1 < size)
        line[length++] = *text++;
    line[length] = '\0';
}

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        AttachDetails details = {};
        details.stoppedAt = kHostSiteCount;
        const AttachOutcome outcome = AttachToHost(self, &details);
        char line[512 + 4 * MAX_PATH] = {};
        Append(line, sizeof line, kAttachLines[outcome]);
        Append(line, sizeof line, FileName(details.otherModule));
        const bool attached = outcome == kAttachedToFirstVersion || outcome == kAttachedToSecondVersion;
        for (int site = kShutdownSite; attached && site < details.stoppedAt; ++site) {
            if (details.sharedWith[site][0]) {
                Append(line, sizeof line, "; sharing the ");
                Append(line, sizeof line, kSiteNames[site]);
                Append(line, sizeof line, " with ");
                Append(line, sizeof line, FileName(details.sharedWith[site]));
            }
        }
        if (attached && details.stoppedAt != kHostSiteCount) {
            Append(line, sizeof line, "; stopped at the game's ");
            Append(line, sizeof line, kSiteNames[details.stoppedAt]);
            Append(line, sizeof line, ", which changed while the module was patching the game: restart the game");
        }
        Append(line, sizeof line, "\n");
        OutputDebugStringA(line);
    }
    return TRUE;
}
