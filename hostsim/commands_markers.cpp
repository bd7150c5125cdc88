// The radar markers' commands.
#include "hostsim/command_handlers.h"

void PlaceMarkerAtPoint(const DecodedCommand& command, EngineScript* script)
{
    const int32_t handle = NewHostHandle();
    engineRun->world.markers[handle] = { Float(command, 0), Float(command, 1), Float(command, 2) };
    SetLocal(&script->record, command, 0, handle);
}

// On a ped or car: the host does not follow the thing, the marker stands at the origin.
void PlaceMarkerOnThing(const DecodedCommand& command, EngineScript* script)
{
    const int32_t handle = NewHostHandle();
    engineRun->world.markers[handle] = { 0, 0, 0 };
    SetLocal(&script->record, command, 1, handle);
}

void RemoveMarker(const DecodedCommand& command, EngineScript*)
{
    engineRun->world.markers.erase(Int(command, 0));
}
