#include "hostsim/win32/exit_alone.h"

#include <windows.h>

#include <tlhelp32.h>

#include <cstdio>

// Ends each thread of this process but the calling one, and waits until it
// is gone; returns how many it found.
static int EndOtherThreads()
{
    int found = 0;
    HANDLE all = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(all, &entry); more; more = Thread32Next(all, &entry)) {
        if (entry.th32OwnerProcessID != GetCurrentProcessId() || entry.th32ThreadID == GetCurrentThreadId())
            continue;
        HANDLE thread = OpenThread(THREAD_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ThreadID);
        if (!thread)
            continue;
        ++found;
        TerminateThread(thread, 0);
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    }
    CloseHandle(all);
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
