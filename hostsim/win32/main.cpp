// The Windows substitute host: hostsim-win32.exe SCENARIO [--trace FILE].
// The engine of the native hostsim, reaching the real brindle_studios.dll
// through the host code sites it patched.
#include <windows.h>

#include <cstdio>

#include "hostsim/command_line/run_main.h"
#include "hostsim/win32/exit_alone.h"
#include "hostsim/win32/site_binding.h"

// A crash must not pass for a run without errors.
static LONG WINAPI ExitOnCrash(EXCEPTION_POINTERS* exception)
{
    fprintf(stderr, "hostsim-win32: exception %08lX at %p\n", exception->ExceptionRecord->ExceptionCode,
            exception->ExceptionRecord->ExceptionAddress);
    fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
}

static RunResult RunThroughSites(const Scenario& scenario, void (*onRecord)(const TraceRecord&))
{
    std::string problem;
    if (!StartWin32Host(scenario.version, &problem)) {
        RunResult result;
        TraceRecord error;
        error.kind = "error";
        error.what = problem;
        onRecord(error);
        result.trace.push_back(error);
        result.errors = 1;
        return result;
    }
    return RunHost(scenario, SiteBinding(), onRecord);
}

int main(int argc, char** argv)
{
    SetUnhandledExceptionFilter(ExitOnCrash);
    ExitAlone(RunHostsimMain(argc, argv, RunThroughSites));
}
