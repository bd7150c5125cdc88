// Loading the real module into the substitute host, and answering its key
// polls from the scenario instead of the real keyboard.
#pragma once

#include <windows.h>

#include <string>

// Loads a DLL from the folder of this program. nullptr and the reason on
// failure.
HMODULE LoadBesideProgram(const char* file, std::string* problem);

// Loads brindle_studios.dll from the folder of this program; its DllMain
// patches the host. nullptr and the reason on failure.
HMODULE LoadModuleBesideProgram(std::string* problem);

// Points a loaded module's import of function from dll at replacement, and
// returns what the module called before; nullptr when it has no such import.
void* RedirectImport(HMODULE module, const char* dll, const char* function, void* replacement);

// Points the module's import of user32.dll's GetAsyncKeyState at the
// engine's key state. False when the module has no such import.
bool RedirectKeyPolls(HMODULE module);
