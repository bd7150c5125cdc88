// The command line shared by the native and the Windows substitute host:
//   hostsim SCENARIO [--trace FILE]
// Without --trace it prints a readable log of what the user would see.
// Exit status 0 only when the run reported no error.
#pragma once

#include "hostsim/engine/engine.h"

namespace hostsim {

typedef RunResult (*ScenarioRunner)(const Scenario& scenario, void (*onRecord)(const TraceRecord&));

int RunHostsimMain(int argc, char** argv, ScenarioRunner runner);

}  // namespace hostsim
