#include "hostsim/win32/exit_at_once.h"

#include <windows.h>

#include <cstdio>

void ExitAtOnce(int status)
{
    fflush(nullptr);
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(status));
    for (;;) { }  // TerminateProcess on the calling process does not return
}
