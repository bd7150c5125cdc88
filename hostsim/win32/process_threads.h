// The threads and handles of this process, as the system lists them.
#pragma once

#include <windows.h>

#include <vector>

namespace hostsim {

// Every thread of this process by its id, the caller's among them.
std::vector<DWORD> ThreadsOfThisProcess();
// The handles this process holds, from the system's handle list (the
// documented per-process count is not kept by every Windows layer); -1 when
// the list cannot be read.
int HandlesOfThisProcess();

}  // namespace hostsim
