// How the substitute host moves what the module directs, made from what the
// module's own texts say its settings do: cars under a speed with a driving
// style, a behaviour or a point to drive to, and peds sent into a car. The
// substitute's imitation, not the game's behaviour.
#pragma once

#include "hostsim/engine/host_world.h"

namespace hostsim {

static const float kPedWalkSpeed = 1.5f;      // units a second, a ped walking to a car
static const float kBoardingDistance = 2.5f;  // a ped this near its car gets in
static const float kStopNearPlayer = 6.0f;    // behaviour 4 stands this near the player

// One frame of the given length for every car that drives and every ped that
// walks to a car or sits in one.
void StepTraffic(HostWorld& world, float seconds);

// Moves (x, y) to the nearest point, on a grid of half units, where a new ped
// or car stands clear of the player and of every ped and car; leaves it when
// there is none within 20 units.
void PlaceClear(const HostWorld& world, bool isCar, float* x, float* y);

// Widens the city's bounds to take in the point.
void WidenCity(HostWorld& world, float x, float y);

// Remove a ped or car, letting go of the car a ped sat in or the peds a car held.
void RemovePed(HostWorld& world, int32_t handle);
void RemoveCar(HostWorld& world, int32_t handle);

}  // namespace hostsim
