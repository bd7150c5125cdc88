// The module's only entry point: on process attach it chooses the host
// addresses by the host's version byte, hands the scheduler the scripts'
// boot and patches the host's four sites. This is where the module is put
// together, so it alone knows both the host's hooks and the scripts.
// Any process may load the module (a launcher, a tool, another program that
// loads plug-ins), so nothing of the host is read before it is known to be
// readable, and a process that is not a known host build is left untouched.
// One line of debug output says which of the two happened; nothing else runs
// here, under the loader's lock.
#include <windows.h>

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
    HostByteRange ranges[kHostSiteRangeCount];
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

// What the attachment did, and the one line of debug output that says so.
enum AttachOutcome {
    kAttachedToFirstVersion,
    kAttachedToSecondVersion,
    kVersionByteUnreadable,
    kSitesUnreadable,
    kUnknownHostBuild,
    kAttachOutcomeCount
};

static const char* const kAttachLines[] = {
    "Brindle Studios 1.1: attached to the game, version 1\n",                          // kAttachedToFirstVersion
    "Brindle Studios 1.1: attached to the game, version 2\n",                          // kAttachedToSecondVersion
    "Brindle Studios 1.1: not attached, this process is left untouched: the game's "
    "version byte (0x608578) is not readable here, so this is not the game\n",         // kVersionByteUnreadable
    "Brindle Studios 1.1: not attached, this process is left untouched: the game's "
    "code it would patch is not readable here, so this is not the game\n",             // kSitesUnreadable
    "Brindle Studios 1.1: not attached, this process is left untouched: its code is "
    "not that of either game build the module knows (version 1 or 2)\n",               // kUnknownHostBuild
};
static_assert(sizeof kAttachLines / sizeof kAttachLines[0] == kAttachOutcomeCount, "one line for every outcome");

static AttachOutcome AttachToHost(HINSTANCE self)
{
    if (!Readable(kHostVersionByteAddress, 1))
        return kVersionByteUnreadable;
    const uint8_t versionByte = *reinterpret_cast<const volatile uint8_t*>(kHostVersionByteAddress);
    const bool second = versionByte == kSecondVersionByte;
    const HostAddresses& addresses = second ? kSecondVersionAddresses : kFirstVersionAddresses;
    if (!HostSitesReadable(addresses))
        return kSitesUnreadable;
    HookEntries hooks;
    hooks.tick = reinterpret_cast<uintptr_t>(ScriptTick);
    hooks.shutdown = reinterpret_cast<uintptr_t>(ShutdownHook);
    hooks.reinit = reinterpret_cast<uintptr_t>(ReinitHook);
    hooks.textLookup = reinterpret_cast<uintptr_t>(TextLookupHook);
    SetScriptBoot(kStudioScriptBoot);
    if (!PatchHost(addresses, hooks))
        return kUnknownHostBuild;
    hostAddresses = addresses;
    StayLoaded(self);
    return second ? kAttachedToSecondVersion : kAttachedToFirstVersion;
}

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        OutputDebugStringA(kAttachLines[AttachToHost(self)]);
    return TRUE;
}
