// Loading the module, redirecting its key polls and counting its handles.
#include "hostsim/win32/module_loader.h"

#include <set>

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

// The module's handles made and not yet closed, changed by any of its
// threads under the lock.
static CRITICAL_SECTION handlesLock;
static const bool handlesLockReady = (InitializeCriticalSection(&handlesLock), true);
static std::set<HANDLE> moduleEvents;
static std::set<HANDLE> moduleThreads;

static void Note(std::set<HANDLE>* handles, HANDLE made)
{
    EnterCriticalSection(&handlesLock);
    if (made)
        handles->insert(made);
    LeaveCriticalSection(&handlesLock);
}

static HANDLE WINAPI NotedCreateEventA(LPSECURITY_ATTRIBUTES security, BOOL manualReset, BOOL initiallySet, LPCSTR name)
{
    HANDLE made = CreateEventA(security, manualReset, initiallySet, name);
    Note(&moduleEvents, made);
    return made;
}

static HANDLE WINAPI NotedCreateThread(LPSECURITY_ATTRIBUTES security, SIZE_T stackSize, LPTHREAD_START_ROUTINE start,
                                       LPVOID parameter, DWORD flags, LPDWORD id)
{
    HANDLE made = CreateThread(security, stackSize, start, parameter, flags, id);
    Note(&moduleThreads, made);
    return made;
}

// Forgotten before it is closed, so that a handle the system hands out again
// with the same value is not taken for it.
static BOOL WINAPI NotedCloseHandle(HANDLE handle)
{
    EnterCriticalSection(&handlesLock);
    moduleEvents.erase(handle);
    moduleThreads.erase(handle);
    LeaveCriticalSection(&handlesLock);
    return CloseHandle(handle);
}

bool NoteModuleHandles(HMODULE module)
{
    return RedirectImport(module, "kernel32.dll", "CreateEventA", reinterpret_cast<void*>(&NotedCreateEventA)) &&
           RedirectImport(module, "kernel32.dll", "CreateThread", reinterpret_cast<void*>(&NotedCreateThread)) &&
           RedirectImport(module, "kernel32.dll", "CloseHandle", reinterpret_cast<void*>(&NotedCloseHandle));
}

ModuleHandleCounts CountModuleHandles()
{
    EnterCriticalSection(&handlesLock);
    const ModuleHandleCounts counts = { static_cast<int>(moduleEvents.size()), static_cast<int>(moduleThreads.size()) };
    LeaveCriticalSection(&handlesLock);
    return counts;
}

int ModuleHandlesOpen()
{
    const ModuleHandleCounts counts = CountModuleHandles();
    return counts.events + counts.threads;
}

void VisitModuleThreads(const std::function<void(HANDLE)>& visit)
{
    EnterCriticalSection(&handlesLock);
    for (HANDLE thread : moduleThreads)
        visit(thread);
    LeaveCriticalSection(&handlesLock);
}

}  // namespace hostsim
