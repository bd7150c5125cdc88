// The threads of this process, as the system lists them.
#pragma once

#include <windows.h>

#include <vector>

namespace hostsim {

// Every thread of this process by its id, the caller's among them.
std::vector<DWORD> ThreadsOfThisProcess();

}  // namespace hostsim
