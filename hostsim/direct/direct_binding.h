// The substitute host bound straight to the module's functions, in one
// process: the native hostsim program and the in-process tests use it.
#pragma once

#include <string>

#include "hostsim/engine/engine.h"
#include "platform/platform.h"

namespace hostsim {

// Points the module's command bridge and key polls at the engine, and hands
// the scheduler the module's boot, as DllMain does.
void AttachDirectHost();

// Tick, re-initialisation, shutdown and text lookup as the patched host
// reaches them: the tick is ScriptTick, keys beginning with '!' go to the
// module's text table and all others to the host's own texts.
EngineBinding DirectBinding();

// Parses the scenario text and runs it against the module. A scenario that
// does not parse gives one error record.
RunResult RunScenarioText(const std::string& scenarioText, void (*onRecord)(const TraceRecord&) = nullptr);

// From the next boot on, each boot starts the given routine on the boot
// record instead of running the boot script, until the next attach: for
// running scripts and wrappers on a real script thread with the real
// scheduler.
void BootRoutineInstead(ScriptRoutine routine);

// Runs the scenario with BootRoutineInstead, calling beforeFrame before each
// frame when it is given (RunHost), then attaches the module's own boot again.
RunResult RunRoutine(ScriptRoutine routine, const std::string& scenarioText, HostFrameCallback beforeFrame = nullptr);

}  // namespace hostsim
