// The Windows substitute host's binding of the engine to the patched sites.
#include "hostsim/win32/site_binding.h"

#include "hostsim/win32/host_image.h"
#include "hostsim/win32/module_loader.h"

namespace hostsim {

// The game's program starts with a call for its start-up information, on its
// main thread, before any code of its own: where an add-on loader that
// waits for the game to run loads its modules.
static HMODULE LoadThroughLoader(const char* loader, std::string* problem)
{
    if (!LoadBesideProgram(loader, problem))
        return nullptr;
    STARTUPINFOA startup;
    GetStartupInfoA(&startup);
    HMODULE module = GetModuleHandleA(kModuleAsLoadersLoadIt);
    if (!module)
        *problem = std::string(loader) + " did not load " + kModuleAsLoadersLoadIt;
    return module;
}

bool StartWin32Host(int version, std::string* problem, const char* loader)
{
    if (!HostArenaInPlace(problem))
        return false;
    LayHostImage(version);
    HMODULE module = loader ? LoadThroughLoader(loader, problem) : LoadModuleBesideProgram(problem);
    if (!module)
        return false;
    if (!RedirectKeyPolls(module)) {
        *problem = "the module does not import GetAsyncKeyState from user32.dll";
        return false;
    }
    if (!NoteModuleHandles(module)) {
        *problem = "the module does not import CreateEventA, CreateThread and CloseHandle from kernel32.dll";
        return false;
    }
    return true;
}

static void ReportSiteFaults()
{
    for (const std::string& fault : TakeSiteFaults())
        ReportHostError(fault);
}

static void Tick(HostScript* script)
{
    int ownSteps = hostSiteLog.ownScriptSteps;
    uint32_t result = CallHostTick(script);
    if (result != 1)
        ReportHostError("the script tick returned " + std::to_string(result) + ", not 1");
    if (hostSiteLog.ownScriptSteps != ownSteps)
        ReportHostError("the host's own script step ran: the tick site is not patched");
    ReportSiteFaults();
}

static void Reinit()
{
    int arrivals = ReinitArrivalsOnThisThread();
    CallHostReinit();
    if (ReinitArrivalsOnThisThread() != arrivals + 1)
        ReportHostError("the re-initialisation call did not reach its continuation once");
    ReportSiteFaults();
}

static void Shutdown()
{
    int arrivals = ShutdownArrivalsOnThisThread();
    CallHostShutdown();
    if (ShutdownArrivalsOnThisThread() != arrivals + 1)
        ReportHostError("the shutdown call did not reach its continuation once");
    ReportSiteFaults();
}

static const char16_t* LookupText(const char* key)
{
    const char16_t* text = CallHostTextLookup(key);
    ReportSiteFaults();
    return text;
}

EngineBinding SiteBinding()
{
    return { Tick, Reinit, Shutdown, LookupText };
}

RunResult RunScenarioTextThroughSites(const std::string& text, const EngineBinding& binding)
{
    Scenario scenario;
    std::string problem;
    if (!ParseScenario(text, &scenario, &problem))
        return UnreadScenarioRun(problem);
    return RunHost(scenario, binding);
}

}  // namespace hostsim
