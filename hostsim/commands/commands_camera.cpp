// The camera's commands.
#include "hostsim/commands/command_handlers.h"

namespace hostsim {

void SetFixedCamera(const DecodedCommand& command, EngineScript*)
{
    HostWorld& world = engineRun->world;
    world.fixedCamera = true;
    world.cameraX = Float(command, 0);
    world.cameraY = Float(command, 1);
    world.cameraLooks = false;
}

void PointCameraAt(const DecodedCommand& command, EngineScript*)
{
    HostWorld& world = engineRun->world;
    world.cameraLooks = true;
    world.cameraLookX = Float(command, 0);
    world.cameraLookY = Float(command, 1);
}

void RestoreCamera(const DecodedCommand&, EngineScript*)
{
    engineRun->world.fixedCamera = false;
}

void SetCutsceneMode(const DecodedCommand& command, EngineScript*)
{
    engineRun->world.cutscene = Int(command, 0) != 0;
}

}  // namespace hostsim
