// The module's only entry point: on process attach it chooses the host
// addresses by the host's version byte and patches the host's four sites.
#include <windows.h>

#include "host/host_addresses.h"
#include "host/patches.h"
#include "host/win32/hooks.h"
#include "script/scheduler.h"

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    uint8_t versionByte = *reinterpret_cast<const volatile uint8_t*>(kHostVersionByteAddress);
    if (versionByte == kSecondVersionByte)
        hostAddresses = kSecondVersionAddresses;
    HookEntries hooks;
    hooks.tick = reinterpret_cast<uintptr_t>(ScriptTick);
    hooks.shutdown = reinterpret_cast<uintptr_t>(ShutdownHook);
    hooks.reinit = reinterpret_cast<uintptr_t>(ReinitHook);
    hooks.textLookup = reinterpret_cast<uintptr_t>(TextLookupHook);
    PatchHost(hostAddresses, hooks);
    return TRUE;
}
