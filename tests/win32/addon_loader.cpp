// Loading the game's .asi files as an add-on loader does.
#include "tests/win32/addon_loader.h"

#include <string>

#include "hostsim/win32/beside_program.h"
#include "hostsim/win32/module_loader.h"

using namespace hostsim;

void LoadAddOnModules()
{
    std::string problem;
    LoadBesideProgram(kModuleAsLoadersLoadIt, &problem);
}
