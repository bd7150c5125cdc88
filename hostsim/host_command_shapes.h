// The substitute host's table of command argument shapes.
#pragma once

#include <cstddef>
#include <cstdint>

struct HostCommandShape {
    uint16_t id;
    const char* shape;  // i int, f float, s 8-byte label, v local variable, z end byte
};

extern const HostCommandShape kHostCommandShapes[];
extern const size_t kHostCommandShapeCount;

const HostCommandShape* FindHostCommandShape(uint16_t id);
