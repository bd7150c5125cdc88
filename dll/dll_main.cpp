// The module's only entry point: on process attach it chooses the host
// addresses by the host's version byte, hands the scheduler the scripts'
// boot and patches the host's four sites. This is where the module is put
// together, so it alone knows both the host's hooks and the scripts.
// Any process may load the module (a launcher, a tool, another program that
// loads plug-ins), so nothing of the host is read before it is known to be
// readable, and a process that is not a known host build, or whose sites
// another module has hooked first, is left untouched.
// One line of debug output says which of the two happened; nothing else runs
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
// any.
enum AttachOutcome {
    kAttachedToFirstVersion,
    kAttachedToSecondVersion,
    kVersionByteUnreadable,
    kSitesUnreadable,
    kUnknownHostBuild,
    kTickLeadsIntoAnotherModule,
    kShutdownLeadsIntoAnotherModule,
    kReinitLeadsIntoAnotherModule,
    kTextLookupLeadsIntoAnotherModule,
    kTickLeadsOutOfTheGamesCode,
    kAttachOutcomeCount
};

// clang-format off
static const char* const kAttachLines[] = {
    "Brindle Studios 1.1: attached to the game, version 1",                             // kAttachedToFirstVersion
    "Brindle Studios 1.1: attached to the game, version 2",                             // kAttachedToSecondVersion
    "Brindle Studios 1.1: not attached, this process is left untouched: the game's "
    "version byte (0x608578) is not readable here, so this is not the game",            // kVersionByteUnreadable
    "Brindle Studios 1.1: not attached, this process is left untouched: the game's "
    "code it would patch is not readable here, so this is not the game",                // kSitesUnreadable
    "Brindle Studios 1.1: not attached, this process is left untouched: its code is "
    "not that of either game build the module knows (version 1 or 2)",                  // kUnknownHostBuild
    "Brindle Studios 1.1: not attached, this process is left untouched: the game's "
    "script tick already leads into ",                                                  // kTickLeadsIntoAnotherModule
    "Brindle Studios 1.1: not attached, this process is left untouched: the game's "
    "shutdown already leads into ",                                                     // kShutdownLeadsIntoAnotherModule
    "Brindle Studios 1.1: not attached, this process is left untouched: the game's "
    "script re-initialisation already leads into ",                                     // kReinitLeadsIntoAnotherModule
    "Brindle Studios 1.1: not attached, this process is left untouched: the game's "
    "text lookup already leads into ",                                                  // kTextLookupLeadsIntoAnotherModule
    "Brindle Studios 1.1: not attached, this process is left untouched: the game's "
    "script tick already leads out of the game's own code",                             // kTickLeadsOutOfTheGamesCode
};
// clang-format on
static_assert(sizeof kAttachLines / sizeof kAttachLines[0] == kAttachOutcomeCount, "one line for every outcome");

// clang-format off
static const AttachOutcome kLeadsIntoAnotherModule[] = {
    kTickLeadsIntoAnotherModule,        // kTickSite
    kShutdownLeadsIntoAnotherModule,    // kShutdownSite
    kReinitLeadsIntoAnotherModule,      // kReinitSite
    kTextLookupLeadsIntoAnotherModule,  // kTextLookupSite
};
// clang-format on
static_assert(sizeof kLeadsIntoAnotherModule / sizeof kLeadsIntoAnotherModule[0] == kHostSiteCount,
              "one outcome for every site");

// Another mod that hooked a site first would be cut off without a word if
// the module patched over it: every site must lead into the game's own code.
// The shutdown and re-initialisation CALLs and the text lookup entry are
// held to the game's own bytes besides (HostSitesMatch); the tick CALL's
// target is known only to lie in the game's image, with the call site.
static bool SitesLeadIntoTheGame(const HostAddresses& addresses, AttachOutcome* refusal, char (&otherModule)[MAX_PATH])
{
    SiteLead leads[kHostSiteCount];
    ListSiteLeads(addresses, leads);
    for (int site = 0; site < kHostSiteCount; ++site) {
        if (LeadsIntoAnotherModule(leads[site], otherModule)) {
            *refusal = kLeadsIntoAnotherModule[site];
            return false;
        }
    }
    if (AllocationOf(leads[kTickSite].to) != AllocationOf(leads[kTickSite].from)) {
        *refusal = kTickLeadsOutOfTheGamesCode;
        return false;
    }
    return true;
}

static AttachOutcome AttachToHost(HINSTANCE self, char (&otherModule)[MAX_PATH])
{
    if (!Readable(kHostVersionByteAddress, 1))
        return kVersionByteUnreadable;
    const uint8_t versionByte = *reinterpret_cast<const volatile uint8_t*>(kHostVersionByteAddress);
    const bool second = versionByte == kSecondVersionByte;
    const HostAddresses& addresses = second ? kSecondVersionAddresses : kFirstVersionAddresses;
    if (!HostSitesReadable(addresses))
        return kSitesUnreadable;
    AttachOutcome refusal;
    if (!SitesLeadIntoTheGame(addresses, &refusal, otherModule))
        return refusal;
    if (!HostSitesMatch(addresses))
        return kUnknownHostBuild;
    // Each hook reads the table as soon as its site is written, and a game
    // thread may reach it before the last site is: the table comes first.
    hostAddresses = addresses;
    SetScriptBoot(kStudioScriptBoot);
    HookEntries hooks;
    hooks.tick = reinterpret_cast<uintptr_t>(ScriptTick);
    hooks.shutdown = reinterpret_cast<uintptr_t>(ShutdownHook);
    hooks.reinit = reinterpret_cast<uintptr_t>(ReinitHook);
    hooks.textLookup = reinterpret_cast<uintptr_t>(TextLookupHook);
    PatchHost(addresses, hooks);
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
        char otherModule[MAX_PATH] = {};
        const AttachOutcome outcome = AttachToHost(self, otherModule);
        char line[256 + MAX_PATH] = {};
        Append(line, sizeof line, kAttachLines[outcome]);
        Append(line, sizeof line, FileName(otherModule));
        Append(line, sizeof line, "\n");
        OutputDebugStringA(line);
    }
    return TRUE;
}
