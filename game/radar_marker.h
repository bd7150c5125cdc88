// A marker on the host's radar map. The object owns its marker: destroying
// a placed marker removes it from the radar.
#pragma once

#include <cstddef>
#include <cstdint>

#include "game/held_wrappers.h"

struct RadarMarker {
    int32_t handle;  // written by the placing command; 0 until then
    bool placed;     // a placing method has sent its command

    // Sends nothing: the marker is empty until placed.
    RadarMarker();
    // Removes the marker from the radar, if one was placed.
    ~RadarMarker();
    // Held by the allocating thread's boot from the start (held_wrappers.h).
    static void* operator new(size_t size) { return NewHeldWrapper(size); }
    static void operator delete(void* marker) { DeleteHeldWrapper(marker); }

    void PlaceAtPoint(float x, float y, float z, int32_t kind);
    // Marks the thing whose handle variable is target.
    bool Place0161(int32_t* target, int32_t a, int32_t b);
    bool Place0162(int32_t* target, int32_t a, int32_t b);
    // Both send nothing, and return false, on an empty marker.
    bool Command0168(int32_t value);
    bool Command0165(int32_t value);
};
