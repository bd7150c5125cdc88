#include "hostsim/engine/heading.h"

#include <cmath>

namespace hostsim {

static const double kRadiansPerDegree = 3.14159265358979323846 / 180.0;

void DirectionOf(float heading, float* dx, float* dy)
{
    *dx = static_cast<float>(-std::sin(heading * kRadiansPerDegree));
    *dy = static_cast<float>(std::cos(heading * kRadiansPerDegree));
}

float HeadingTowards(float dx, float dy)
{
    double heading = std::atan2(-static_cast<double>(dx), static_cast<double>(dy)) / kRadiansPerDegree;
    return static_cast<float>(heading < 0 ? heading + 360.0 : heading);
}

// fmod is exact, so the same everywhere.
float Turned(float heading, float degrees)
{
    const float turned = std::fmod(heading + degrees, 360.0f);
    return turned < 0.0f ? turned + 360.0f : turned;
}

}  // namespace hostsim
