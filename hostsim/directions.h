// Directions the module sends to one ped or car, in words: the short form a
// label shows ("anim 19, 2 s") and the readable log's ("anim 19 for 2000 ms").
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "hostsim/trace.h"

enum DirectionSubject {
    kNotADirection,
    kPedDirection,  // the first argument is the ped's handle
    kCarDirection,  // the first argument is the car's handle
};

DirectionSubject DirectionSubjectOf(uint16_t id);

// The label's words. A ped sent into a car (0x01D5) is worded by the caller,
// who knows the car; here it is "into car #HANDLE".
std::string DirectionLabel(uint16_t id, const std::vector<TraceArgument>& args);
// The readable log's words, after "PED #handle" or "CAR #handle".
std::string DirectionLogText(uint16_t id, const std::vector<TraceArgument>& args);
