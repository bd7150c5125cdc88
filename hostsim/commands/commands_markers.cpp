// The radar markers' commands.
#include "hostsim/commands/command_handlers.h"

namespace hostsim {

void PlaceMarkerAtPoint(const DecodedCommand& command, EngineScript* script)
{
    HostWorld& world = engineRun->world;
    const int32_t handle = NewHostHandle();
    world.markers[handle] = { kMarkerAtPoint, 0, Float(command, 0), Float(command, 1), Float(command, 2) };
    world.pointMarkerPlaced = true;
    world.lastPointMarkerX = Float(command, 0);
    world.lastPointMarkerY = Float(command, 1);
    SetLocal(&script->record, command, 0, handle);
}

// On a car or ped the marker has no point of its own: a front end finds it
// by the thing it follows.
static void PlaceMarkerOn(MarkerOn on, const DecodedCommand& command, EngineScript* script)
{
    const int32_t handle = NewHostHandle();
    engineRun->world.markers[handle] = { on, Int(command, 0) };
    SetLocal(&script->record, command, 1, handle);
}

void PlaceMarkerOnCar(const DecodedCommand& command, EngineScript* script)
{
    PlaceMarkerOn(kMarkerOnCar, command, script);
}

void PlaceMarkerOnPed(const DecodedCommand& command, EngineScript* script)
{
    PlaceMarkerOn(kMarkerOnPed, command, script);
}

void RemoveMarker(const DecodedCommand& command, EngineScript*)
{
    engineRun->world.markers.erase(Int(command, 0));
}

}  // namespace hostsim
