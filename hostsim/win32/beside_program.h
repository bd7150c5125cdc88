// What the substitute host and the stand-in DLLs beside it do with the DLLs
// in the program's folder: load one, and point one's import elsewhere.
#pragma once

#include <windows.h>

#include <string>

namespace hostsim {

// Loads a DLL from the folder of this program. nullptr and the reason on
// failure.
HMODULE LoadBesideProgram(const char* file, std::string* problem);

// Points a loaded module's import of function from dll at replacement, and
// returns what the module called before; nullptr when it has no such import.
void* RedirectImport(HMODULE module, const char* dll, const char* function, void* replacement);

}  // namespace hostsim
