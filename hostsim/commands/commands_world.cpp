// The world's commands: scripts, models, the city the boot lays out, fades,
// the clock and the weather.
#include <algorithm>

#include "hostsim/commands/command_handlers.h"
#include "hostsim/engine/driving.h"

namespace hostsim {

void Wait(const DecodedCommand& command, EngineScript* script)
{
    if (Int(command, 0) < 0)
        ReportHostError("wait of " + std::to_string(Int(command, 0)) + " ms");
    script->wakeAt = engineRun->now + (Int(command, 0) > 0 ? Int(command, 0) : 0);
}

// At the given instruction pointer.
void StartScript(const DecodedCommand& command, EngineScript*)
{
    StartHostScript(static_cast<uint32_t>(Int(command, 0)));
}

static bool ModelNeverAvailable(int32_t model)
{
    const std::vector<int32_t>& never = engineRun->scenario.neverModels;
    return std::find(never.begin(), never.end(), model) != never.end();
}

bool ModelAvailable(int32_t model)
{
    if (ModelNeverAvailable(model))
        return false;
    const std::map<int32_t, int64_t>& requested = engineRun->world.modelAvailableAtFrame;
    std::map<int32_t, int64_t>::const_iterator found = requested.find(model);
    return found != requested.end() && engineRun->frame >= found->second;
}

void RequestModel(const DecodedCommand& command, EngineScript*)
{
    const int32_t model = Int(command, 0);
    std::map<int32_t, int64_t>& requested = engineRun->world.modelAvailableAtFrame;
    if (!requested.count(model))
        requested[model] = engineRun->frame + engineRun->scenario.modelDelay;
}

// A named model into a special slot: loaded anew, even when it was there.
void LoadSpecialModel(const DecodedCommand& command, EngineScript*)
{
    HostWorld& world = engineRun->world;
    world.specialModels[Int(command, 0)] = command.args[1].s;
    world.modelAvailableAtFrame[Int(command, 0) + kFirstSpecialModel] =
        engineRun->frame + engineRun->scenario.modelDelay;
}

void IsModelAvailable(const DecodedCommand& command, EngineScript* script)
{
    SetCondition(&script->record, ModelAvailable(Int(command, 0)));
}

void AddMapBox(const DecodedCommand& command, EngineScript*)
{
    HostWorld& world = engineRun->world;
    world.boxes.push_back({ command.id, Float(command, 0), Float(command, 1), Float(command, 2), Float(command, 3),
                            Float(command, 4), Float(command, 5) });
    WidenCity(world, Float(command, 0), Float(command, 1));
    WidenCity(world, Float(command, 3), Float(command, 4));
}

void CreateObject(const DecodedCommand& command, EngineScript* script)
{
    HostWorld& world = engineRun->world;
    world.objects.push_back({ Int(command, 0), Float(command, 1), Float(command, 2), Float(command, 3) });
    WidenCity(world, Float(command, 1), Float(command, 2));
    SetLocal(&script->record, command, 0, NewHostHandle());
}

void CreateCarGenerator(const DecodedCommand& command, EngineScript* script)
{
    HostWorld& world = engineRun->world;
    world.carGenerators.push_back(
        { Int(command, 4), Float(command, 0), Float(command, 1), Float(command, 2), Float(command, 3) });
    WidenCity(world, Float(command, 0), Float(command, 1));
    SetLocal(&script->record, command, 0, NewHostHandle());
}

void SetCarGeneratorValue(const DecodedCommand&, EngineScript* script)
{
    SetCondition(&script->record, true);
}

void Fade(const DecodedCommand& command, EngineScript*)
{
    HostWorld& world = engineRun->world;
    world.fadeDurationMs = Int(command, 0);
    world.fadeDirection = Int(command, 1);
    world.fadeEndsAt = engineRun->now + Int(command, 0);
}

void IsFading(const DecodedCommand&, EngineScript* script)
{
    SetCondition(&script->record, engineRun->now < engineRun->world.fadeEndsAt);
}

void SetTimeOfDay(const DecodedCommand& command, EngineScript*)
{
    engineRun->world.clockHour = Int(command, 0);
    engineRun->world.clockMinute = Int(command, 1);
    engineRun->world.clockSetAt = engineRun->now;
}

void SetWeather(const DecodedCommand& command, EngineScript*)
{
    engineRun->world.weather = Int(command, 0);
    engineRun->world.weatherHeld = false;
}

void HoldWeather(const DecodedCommand& command, EngineScript*)
{
    engineRun->world.weather = Int(command, 0);
    engineRun->world.weatherHeld = true;
}

}  // namespace hostsim
