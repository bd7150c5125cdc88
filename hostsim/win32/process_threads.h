// The threads and handles of this process, as the system lists them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace hostsim {

// Every thread of this process by its id, the caller's among them.
std::vector<DWORD> ThreadsOfThisProcess();
// Where each thread of this process but the caller's began, by module and
// offset ("brindle_studios.dll+1A2B"), for a test to say which threads it
// did not expect.
std::string ThreadStartsOfThisProcess();
// The handles this process holds, from the system's handle list (the
// documented per-process count is not kept by every Windows layer); -1 when
// the list cannot be read.
int HandlesOfThisProcess();

}  // namespace hostsim
