#include "hostsim/win32/exit_alone.h"

#include <windows.h>

#include <cstdio>

#include "hostsim/win32/process_threads.h"

namespace hostsim {

// Ends each thread of this process but the calling one, and waits until it
// is gone; returns how many it found.
static int EndOtherThreads()
{
    int found = 0;
    for (DWORD id : ThreadsOfThisProcess()) {
        HANDLE thread = id == GetCurrentThreadId() ? nullptr : OpenThread(THREAD_TERMINATE | SYNCHRONIZE, FALSE, id);
        if (!thread)
            continue;
        ++found;
        TerminateThread(thread, 0);
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    }
    return found;
}

void ExitAlone(int status)
{
    fflush(nullptr);
    // A thread may start another while it is being ended.
    while (EndOtherThreads() > 0) { }
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(status));
    for (;;) { }  // TerminateProcess on the calling process does not return
}

}  // namespace hostsim
