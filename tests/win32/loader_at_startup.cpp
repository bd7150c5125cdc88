// loader_at_startup.dll: an add-on loader that waits for the game to run. Its
// DllMain points the game program's import of GetStartupInfoA at itself; the
// game's first call of it, on the game's main thread before any code of the
// game's own, loads the game's .asi files, then gets the start-up
// information as the game asked.
#include <windows.h>

#include "hostsim/win32/beside_program.h"
#include "tests/win32/addon_loader.h"

using namespace hostsim;

typedef VOID(WINAPI* GetStartupInfoFunction)(LPSTARTUPINFOA info);
static GetStartupInfoFunction gameGetStartupInfo = nullptr;
static bool loaded = false;  // touched only by the game's main thread

static VOID WINAPI LoadAtTheGamesStart(LPSTARTUPINFOA info)
{
    if (!loaded) {
        loaded = true;
        LoadAddOnModules();
    }
    gameGetStartupInfo(info);
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        gameGetStartupInfo = reinterpret_cast<GetStartupInfoFunction>(
            RedirectImport(GetModuleHandleA(nullptr), "kernel32.dll", "GetStartupInfoA",
                           reinterpret_cast<void*>(&LoadAtTheGamesStart)));
    return TRUE;
}
