// The camera's commands.
#include "hostsim/command_handlers.h"

void SetFixedCamera(const DecodedCommand&, EngineScript*)
{
    engineRun->world.fixedCamera = true;
}

void RestoreCamera(const DecodedCommand&, EngineScript*)
{
    engineRun->world.fixedCamera = false;
}

void SetCutsceneMode(const DecodedCommand& command, EngineScript*)
{
    engineRun->world.cutscene = Int(command, 0) != 0;
}
