// The substitute host bound straight to the module's functions.
#include "hostsim/direct/direct_binding.h"

#include "host/host_addresses.h"
#include "game/held_wrappers.h"
#include "host/hook_work.h"
#include "script/scheduler.h"
#include "scripts/boot.h"
#include "text/text_table.h"

namespace hostsim {

void AttachDirectHost()
{
    hostAddresses.interpreter = reinterpret_cast<uintptr_t>(&EngineInterpret);
    hostAddresses.scriptSpaceBase = reinterpret_cast<uintptr_t>(EngineScriptSpace());
    SetKeyStateSource(EngineKeyState);
    SetScriptBoot(kStudioScriptBoot);
}

static ScriptRoutine routineUnderTest = nullptr;

// Each boot starts the routine on the boot record, as the boot script
// starts the welcome thread.
static void BootRoutineUnderTest()
{
    InitScriptThreadList();
    StartBootThread(routineUnderTest);
}

static void NothingToTell()
{
}

void BootRoutineInstead(ScriptRoutine routine)
{
    routineUnderTest = routine;
    SetScriptBoot({ BootRoutineUnderTest, NothingToTell, ReleaseHeldWrappers });
}

static void Tick(HostScript* script)
{
    ScriptTick(script);
}

static void Reinit()
{
    ReinitScripts();
    EngineReinitContinuation();
}

static void Shutdown()
{
    ShutdownScripts();
    EngineShutdownContinuation();
}

// As the hooked host lookup answers: the module's keys from its own table.
static const char16_t* LookupText(const char* key)
{
    return key[0] == '!' ? LookupCustomText(key) : HostOwnText(key);
}

EngineBinding DirectBinding()
{
    return { Tick, Reinit, Shutdown, LookupText };
}

RunResult RunScenarioText(const std::string& scenarioText, void (*onRecord)(const TraceRecord&))
{
    Scenario scenario;
    std::string error;
    if (!ParseScenario(scenarioText, &scenario, &error))
        return UnreadScenarioRun(error);
    AttachDirectHost();
    return RunHost(scenario, DirectBinding(), onRecord);
}

RunResult RunRoutine(ScriptRoutine routine, const std::string& scenarioText, HostFrameCallback beforeFrame)
{
    Scenario scenario;
    std::string error;
    if (!ParseScenario(scenarioText, &scenario, &error))
        return UnreadScenarioRun(error);
    AttachDirectHost();
    BootRoutineInstead(routine);
    const RunResult result = RunHost(scenario, DirectBinding(), nullptr, beforeFrame);
    AttachDirectHost();
    return result;
}

}  // namespace hostsim
