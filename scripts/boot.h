// The boot script: run to its end on the host's thread by the first tick after
// each start of the host's scripts. It never waits.
#pragma once

#include "script/scheduler.h"

void BootScript();

// What the module's attach hands the scheduler: this boot script, and the
// start marker placed again after each re-initialisation.
extern const ScriptBoot kStudioScriptBoot;

// Puts the module back to its state at load, as a test process needs it
// between tests: every script thread dismissed, the scheduler as at load, the
// start marker armed as at load, and what the boots made freed once their
// threads have ended. Only what threads left behind still hold stays: their
// boot slots, and so the bridge the next boot takes. The boot handed down at
// attach stays. Host's thread only, outside ticks.
void ResetModule();
