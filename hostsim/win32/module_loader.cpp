// Loading the module and redirecting its key polls.
#include "hostsim/win32/module_loader.h"

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

}  // namespace hostsim
