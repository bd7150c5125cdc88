// Loading the real module into the substitute host, answering its key polls
// from the scenario instead of the real keyboard, and counting the handles
// it holds.
#pragma once

#include <windows.h>

#include <functional>
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

// Notes the handles the module makes and closes, at its imports of
// CreateEventA, CreateThread and CloseHandle, the only ones through which it
// holds handles: the module's alone, where the process's own count also has
// the handles the system and the thread library make for themselves when
// they first need them. False when it lacks one of the imports.
bool NoteModuleHandles(HMODULE module);

// The module's handles made and not closed since they were first noted.
struct ModuleHandleCounts {
    int events;
    int threads;
};
ModuleHandleCounts CountModuleHandles();
// Both together.
int ModuleHandlesOpen();
// Calls visit with each of the module's thread handles, which stay open
// meanwhile.
void VisitModuleThreads(const std::function<void(HANDLE)>& visit);

}  // namespace hostsim
