// The engine bound to the real module through the host's own code: every
// tick, shutdown, re-initialisation and text lookup runs the host routine
// that holds the site the module patched.
#pragma once

#include <string>

#include "hostsim/engine/engine.h"

namespace hostsim {

// Checks the arena, lays the host's code for the version, loads the module
// (which patches it), redirects the module's key polls to the scenario and
// notes its handles (NoteModuleHandles).
// With a loader, the module is loaded as a player's game loads it: the
// add-on loader DLL from the program's folder, as the game's program loads
// the DLLs it imports, then the game's start-up begins, and the loader
// loads brindle_studios.asi from the game's folder, at once or then.
// False, with the reason, when any step fails.
bool StartWin32Host(int version, std::string* problem, const char* loader = nullptr);

// Reports as host errors whatever the host's code saw arrive wrongly: a tick
// that did not return 1 or reached the host's own step, a continuation
// entered with other registers, arguments or return address than its caller
// sent, a text lookup that broke its calling contract.
EngineBinding SiteBinding();

// Runs the scenario's text through the sites, for the tests: a text that
// does not read as a scenario gives a run with that error alone.
RunResult RunScenarioTextThroughSites(const std::string& text, const EngineBinding& binding = SiteBinding());

}  // namespace hostsim
