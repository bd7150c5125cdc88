// The Windows substitute host:
//   hostsim-win32.exe SCENARIO [--trace FILE] [--loader FILE]
// The engine of the native hostsim, reaching the real brindle_studios.dll
// through the host code sites it patched. With --loader, an add-on loader
// DLL beside the program loads the module as brindle_studios.asi instead
// (StartWin32Host).
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "hostsim/command_line/run_main.h"
#include "hostsim/win32/exit_alone.h"
#include "hostsim/win32/site_binding.h"

namespace hostsim {

// A crash must not pass for a run without errors.
static LONG WINAPI ExitOnCrash(EXCEPTION_POINTERS* exception)
{
    fprintf(stderr, "hostsim-win32: exception %08lX at %p\n", exception->ExceptionRecord->ExceptionCode,
            exception->ExceptionRecord->ExceptionAddress);
    fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
}

static const char* loader = nullptr;

static RunResult RunThroughSites(const Scenario& scenario, void (*onRecord)(const TraceRecord&))
{
    std::string problem;
    if (!StartWin32Host(scenario.version, &problem, loader)) {
        RunResult result;
        TraceRecord error;
        error.kind = kErrorRecord;
        error.what = problem;
        onRecord(error);
        result.trace.push_back(error);
        result.errors = 1;
        return result;
    }
    return RunHost(scenario, SiteBinding(), onRecord);
}

// Takes --loader FILE out of the arguments the shared command line reads.
static int TakeLoader(int argc, char** argv)
{
    int kept = 1;
    for (int n = 1; n < argc; ++n) {
        if (strcmp(argv[n], "--loader") == 0 && n + 1 < argc)
            loader = argv[++n];
        else
            argv[kept++] = argv[n];
    }
    argv[kept] = nullptr;
    return kept;
}

}  // namespace hostsim

using namespace hostsim;

int main(int argc, char** argv)
{
    SetUnhandledExceptionFilter(ExitOnCrash);
    argc = TakeLoader(argc, argv);
    ExitAlone(RunHostsimMain(argc, argv, RunThroughSites));
}
