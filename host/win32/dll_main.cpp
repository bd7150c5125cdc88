// The module's only entry point: on process attach it chooses the host
// addresses by the host's version byte, hands the scheduler the scripts'
// boot and patches the host's four sites. The one file of host/ that knows
// the scripts: it is where the module is put together.
#include <windows.h>

#include "host/host_addresses.h"
#include "host/patches.h"
#include "host/win32/hooks.h"
#include "script/scheduler.h"
#include "scripts/boot.h"

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
    SetScriptBoot(kStudioScriptBoot);
    PatchHost(hostAddresses, hooks);
    return TRUE;
}
