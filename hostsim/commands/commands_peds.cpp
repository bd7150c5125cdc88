// The player's and the peds' commands.
#include <cmath>

#include "hostsim/commands/command_handlers.h"
#include "hostsim/engine/driving.h"
#include "hostsim/engine/heading.h"

namespace hostsim {

// The most peds the module's scripts hold at once: the ten group places and
// one preview ped.
static const size_t kMostPedsOfABoot = 11;

void CreatePlayer(const DecodedCommand& command, EngineScript* script)
{
    HostPlayer& player = engineRun->world.player;
    player.exists = true;
    player.handle = NewHostHandle();
    player.x = Float(command, 1);
    player.y = Float(command, 2);
    player.z = Float(command, 3);
    SetLocal(&script->record, command, 0, player.handle);
}

void GetCharacterHandle(const DecodedCommand& command, EngineScript* script)
{
    HostPlayer& player = engineRun->world.player;
    player.characterHandle = NewHostHandle();
    SetLocal(&script->record, command, 1, player.characterHandle);
}

// Within the half sizes of the box around the point, on every axis.
void IsPlayerWithinRange(const DecodedCommand& command, EngineScript* script)
{
    const HostPlayer& p = engineRun->world.player;
    SetCondition(&script->record, std::fabs(p.x - Float(command, 1)) <= Float(command, 4) &&
                                      std::fabs(p.y - Float(command, 2)) <= Float(command, 5) &&
                                      std::fabs(p.z - Float(command, 3)) <= Float(command, 6));
}

void SetPlayerHeading(const DecodedCommand& command, EngineScript*)
{
    engineRun->world.player.heading = Float(command, 1);
}

// The offset (right, ahead, up) turned by the player's heading, from where it stands.
void GetPlayerOffsetPoint(const DecodedCommand& command, EngineScript* script)
{
    const HostPlayer& player = engineRun->world.player;
    float aheadX, aheadY;
    DirectionOf(player.heading, &aheadX, &aheadY);
    const float cosine = aheadY, sine = -aheadX;
    const float dx = Float(command, 1), dy = Float(command, 2), dz = Float(command, 3);
    SetFloatLocal(&script->record, command, 1, player.x + dx * cosine - dy * sine);
    SetFloatLocal(&script->record, command, 2, player.y + dx * sine + dy * cosine);
    SetFloatLocal(&script->record, command, 3, player.z + dz);
}

void SetPlayerModel(const DecodedCommand& command, EngineScript*)
{
    engineRun->world.player.model = command.args[1].s;
}

void SetPlayerControls(const DecodedCommand& command, EngineScript*)
{
    engineRun->world.controlsLocked = Int(command, 1) == 0;
}

void CreatePed(const DecodedCommand& command, EngineScript* script)
{
    HostWorld& world = engineRun->world;
    const int32_t model = Int(command, 1);
    if (!ModelAvailable(model))
        ReportHostError("ped created with model " + std::to_string(model) + " not loaded");
    HostPed ped;
    ped.model = model;
    ped.x = Float(command, 2);
    ped.y = Float(command, 3);
    ped.z = Float(command, 4);
    PlaceClear(world, false, &ped.x, &ped.y);
    if (world.specialModels.count(model - kFirstSpecialModel))
        ped.name = world.specialModels[model - kFirstSpecialModel];
    const int32_t handle = NewHostHandle();
    world.peds[handle] = ped;
    SetLocal(&script->record, command, 0, handle);
    CheckHeldByThisBoot(world.peds, kMostPedsOfABoot, "peds");
}

// Discarded, deleted or released alike: the ped is gone from the game.
void DropPed(const DecodedCommand& command, EngineScript*)
{
    RemovePed(engineRun->world, Int(command, 0));
}

void SetPedHeading(const DecodedCommand& command, EngineScript*)
{
    std::map<int32_t, HostPed>& peds = engineRun->world.peds;
    if (peds.count(Int(command, 0)))
        peds[Int(command, 0)].heading = Float(command, 1);
}

// Labels the directed ped; the ped, when it stands free and so may walk
// off to a car, else nullptr.
static HostPed* DirectedPed(const DecodedCommand& command)
{
    std::map<int32_t, HostPed>& peds = engineRun->world.peds;
    std::map<int32_t, HostPed>::iterator found = peds.find(Int(command, 0));
    if (found == peds.end())
        return nullptr;
    HostPed& ped = found->second;
    ped.doing = LabelOf(command);
    if (ped.inCar)
        return nullptr;
    ped.car = 0;
    return &ped;
}

void DirectPed(const DecodedCommand& command, EngineScript*)
{
    DirectedPed(command);
}

// It walks to the car; the label names the car by its studio slot once the
// studio has confirmed one.
void SendPedIntoCar(const DecodedCommand& command, EngineScript*)
{
    HostPed* ped = DirectedPed(command);
    if (!ped)
        return;
    const std::map<int32_t, HostCar>& cars = engineRun->world.cars;
    std::map<int32_t, HostCar>::const_iterator car = cars.find(Int(command, 1));
    if (car == cars.end())
        return;
    ped->car = car->first;
    if (car->second.slot)
        ped->doing = "into Car " + std::to_string(car->second.slot);
}

}  // namespace hostsim
