// Loading the real module into the substitute host, and answering its key
// polls from the scenario instead of the real keyboard.
#pragma once

#include <windows.h>

#include <string>

#include "hostsim/win32/beside_program.h"

namespace hostsim {

// The module's file as a player installs it for an add-on loader: the same
// bytes under the name such loaders load, in the game's folder.
static const char kModuleAsLoadersLoadIt[] = "brindle_studios.asi";

// Loads brindle_studios.dll from the folder of this program; its DllMain
// patches the host. nullptr and the reason on failure.
HMODULE LoadModuleBesideProgram(std::string* problem);

// Points the module's import of user32.dll's GetAsyncKeyState at the
// engine's key state. False when the module has no such import.
bool RedirectKeyPolls(HMODULE module);

}  // namespace hostsim
