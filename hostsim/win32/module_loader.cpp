// Loading the module, redirecting its key polls and counting its handles.
#include "hostsim/win32/module_loader.h"

#include <atomic>

#include "hostsim/engine/engine.h"

namespace hostsim {

HMODULE LoadModuleBesideProgram(std::string* problem)
{
    return LoadBesideProgram("brindle_studios.dll", problem);
}

static SHORT WINAPI ScenarioKeyState(int virtualKey)
{
    return EngineKeyState(virtualKey);
}

bool RedirectKeyPolls(HMODULE module)
{
    return RedirectImport(module, "user32.dll", "GetAsyncKeyState", reinterpret_cast<void*>(&ScenarioKeyState)) !=
           nullptr;
}

// Changed by any of the module's threads.
static std::atomic<int> moduleHandlesOpen { 0 };

static HANDLE WINAPI CountedCreateEventA(LPSECURITY_ATTRIBUTES security, BOOL manualReset, BOOL initiallySet,
                                         LPCSTR name)
{
    HANDLE made = CreateEventA(security, manualReset, initiallySet, name);
    if (made)
        ++moduleHandlesOpen;
    return made;
}

static HANDLE WINAPI CountedCreateThread(LPSECURITY_ATTRIBUTES security, SIZE_T stackSize, LPTHREAD_START_ROUTINE start,
                                         LPVOID parameter, DWORD flags, LPDWORD id)
{
    HANDLE made = CreateThread(security, stackSize, start, parameter, flags, id);
    if (made)
        ++moduleHandlesOpen;
    return made;
}

static BOOL WINAPI CountedCloseHandle(HANDLE handle)
{
    const BOOL closed = CloseHandle(handle);
    if (closed)
        --moduleHandlesOpen;
    return closed;
}

bool CountModuleHandles(HMODULE module)
{
    return RedirectImport(module, "kernel32.dll", "CreateEventA", reinterpret_cast<void*>(&CountedCreateEventA)) &&
           RedirectImport(module, "kernel32.dll", "CreateThread", reinterpret_cast<void*>(&CountedCreateThread)) &&
           RedirectImport(module, "kernel32.dll", "CloseHandle", reinterpret_cast<void*>(&CountedCloseHandle));
}

int ModuleHandlesOpen()
{
    return moduleHandlesOpen;
}

}  // namespace hostsim
