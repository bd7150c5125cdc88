// The boot script: run to its end on the host's thread by the first tick after
// each start of the host's scripts. It never waits.
#pragma once

#include "script/scheduler.h"

void BootScript();

// What the module's attach hands the scheduler: this boot script, and the
// start marker placed again after each re-initialisation.
extern const ScriptBoot kStudioScriptBoot;

// Puts the module back to its state at load, as a test process needs it
// between tests: every script thread stopped, the scheduler as at load, the
// start marker armed as at load, and the command bridge's choice and what the
// boots made as at load once every thread was seen to end (a thread still
// away in the host keeps its bridge and what it may touch). The boot handed
// down at attach stays. Host's thread only, outside ticks.
void ResetModule();
