// loader_in_dllmain.dll: an add-on loader that loads the game's .asi files
// from its own DllMain, under the loader's lock, as soon as the game's
// program loads it among the DLLs it imports.
#include <windows.h>

#include "tests/win32/addon_loader.h"

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        LoadAddOnModules();
    return TRUE;
}
