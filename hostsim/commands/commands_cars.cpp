// The cars' commands, and what the substitute drives by (driving.h).
#include "hostsim/commands/command_handlers.h"
#include "hostsim/engine/driving.h"

namespace hostsim {

// The most cars the module's scripts hold at once: the two car slots, one
// preview car and the welcome thread's parked car.
static const size_t kMostCarsOfABoot = 4;

void CreateCar(const DecodedCommand& command, EngineScript* script)
{
    HostWorld& world = engineRun->world;
    const int32_t model = Int(command, 0);
    if (!ModelAvailable(model))
        ReportHostError("car created with model " + std::to_string(model) + " not loaded");
    HostCar car;
    car.model = model;
    car.x = Float(command, 1);
    car.y = Float(command, 2);
    car.z = Float(command, 3);
    PlaceClear(world, true, &car.x, &car.y);
    const int32_t handle = NewHostHandle();
    world.cars[handle] = car;
    SetLocal(&script->record, command, 0, handle);
    CheckHeldByThisBoot(world.cars, kMostCarsOfABoot, "cars");
}

// Deleted or released alike: the car is gone from the game.
void DropCar(const DecodedCommand& command, EngineScript*)
{
    RemoveCar(engineRun->world, Int(command, 0));
}

void SetCarHeading(const DecodedCommand& command, EngineScript*)
{
    std::map<int32_t, HostCar>& cars = engineRun->world.cars;
    if (cars.count(Int(command, 0)))
        cars[Int(command, 0)].heading = Float(command, 1);
}

// Labels the directed car; nullptr when there is none.
static HostCar* DirectedCar(const DecodedCommand& command)
{
    std::map<int32_t, HostCar>& cars = engineRun->world.cars;
    std::map<int32_t, HostCar>::iterator found = cars.find(Int(command, 0));
    if (found == cars.end())
        return nullptr;
    found->second.doing = LabelOf(command);
    return &found->second;
}

void DirectCar(const DecodedCommand& command, EngineScript*)
{
    DirectedCar(command);
}

void SetCarSpeed(const DecodedCommand& command, EngineScript*)
{
    if (HostCar* car = DirectedCar(command))
        car->toldSpeed = Float(command, 1);
}

void SetPsychoDriving(const DecodedCommand& command, EngineScript*)
{
    if (HostCar* car = DirectedCar(command))
        car->style = kPsychoDriving;
}

void SetNormalDriving(const DecodedCommand& command, EngineScript*)
{
    if (HostCar* car = DirectedCar(command))
        car->style = kNormalDriving;
}

// A behaviour ends a drive to a point and the following of a box's edges.
void SetCarBehaviour(const DecodedCommand& command, EngineScript*)
{
    if (HostCar* car = DirectedCar(command)) {
        car->behaviour = Int(command, 1);
        car->drivingTo = false;
        car->followedBox = -1;
    }
}

void DriveCarTo(const DecodedCommand& command, EngineScript*)
{
    if (HostCar* car = DirectedCar(command)) {
        car->drivingTo = true;
        car->toX = Float(command, 1);
        car->toY = Float(command, 2);
        car->toZ = Float(command, 3);
    }
}

}  // namespace hostsim
