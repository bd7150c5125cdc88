// Radar marker commands. Placing again overwrites the handle: only the last
// marker placed with the object is removed by the destructor.
#include "game/radar_marker.h"

#include "game/command_catalogue.h"

RadarMarker::RadarMarker()
    : handle(0)
    , placed(false)
{
}

RadarMarker::~RadarMarker()
{
    if (placed)
        CallCommand(kRemoveMarker, &handle);
}

void RadarMarker::PlaceAtPoint(float x, float y, float z, int32_t kind)
{
    CallCommand(kPlaceMarkerAtPoint, x, y, z, kind, &handle);
    placed = true;
}

bool RadarMarker::Place0161(int32_t* target, int32_t a, int32_t b)
{
    bool result = CallCommand(kPlaceMarker0161, target, a, b, &handle) != 0;
    placed = true;
    return result;
}

bool RadarMarker::Place0162(int32_t* target, int32_t a, int32_t b)
{
    bool result = CallCommand(kPlaceMarker0162, target, a, b, &handle) != 0;
    placed = true;
    return result;
}

bool RadarMarker::Command0168(int32_t value)
{
    return placed && CallCommand(kCommand0168, &handle, value) != 0;
}

bool RadarMarker::Command0165(int32_t value)
{
    return placed && CallCommand(kCommand0165, &handle, value) != 0;
}
