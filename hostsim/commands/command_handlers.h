// What each command the host imitates does to the game: one handler a row of
// the host's command table (host_commands.cpp), by subject in a file each.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

#include "hostsim/commands/command_decoding.h"
#include "hostsim/engine/engine_run.h"

namespace hostsim {

// --- The world: scripts, models, the city, fades, clock and weather (commands_world.cpp)
void Wait(const DecodedCommand& command, EngineScript* script);
void StartScript(const DecodedCommand& command, EngineScript* script);
void RequestModel(const DecodedCommand& command, EngineScript* script);
void LoadSpecialModel(const DecodedCommand& command, EngineScript* script);
void IsModelAvailable(const DecodedCommand& command, EngineScript* script);
void AddMapBox(const DecodedCommand& command, EngineScript* script);
void CreateObject(const DecodedCommand& command, EngineScript* script);
void CreateCarGenerator(const DecodedCommand& command, EngineScript* script);
void SetCarGeneratorValue(const DecodedCommand& command, EngineScript* script);
void Fade(const DecodedCommand& command, EngineScript* script);
void IsFading(const DecodedCommand& command, EngineScript* script);
void SetTimeOfDay(const DecodedCommand& command, EngineScript* script);
void SetWeather(const DecodedCommand& command, EngineScript* script);
void HoldWeather(const DecodedCommand& command, EngineScript* script);

// --- The player and peds (commands_peds.cpp)
void CreatePlayer(const DecodedCommand& command, EngineScript* script);
void GetCharacterHandle(const DecodedCommand& command, EngineScript* script);
void IsPlayerWithinRange(const DecodedCommand& command, EngineScript* script);
void SetPlayerHeading(const DecodedCommand& command, EngineScript* script);
void GetPlayerOffsetPoint(const DecodedCommand& command, EngineScript* script);
void SetPlayerModel(const DecodedCommand& command, EngineScript* script);
void SetPlayerControls(const DecodedCommand& command, EngineScript* script);
void CreatePed(const DecodedCommand& command, EngineScript* script);
void DropPed(const DecodedCommand& command, EngineScript* script);
void SetPedHeading(const DecodedCommand& command, EngineScript* script);
void DirectPed(const DecodedCommand& command, EngineScript* script);
void SendPedIntoCar(const DecodedCommand& command, EngineScript* script);

// --- Cars (commands_cars.cpp)
void CreateCar(const DecodedCommand& command, EngineScript* script);
void DropCar(const DecodedCommand& command, EngineScript* script);
void SetCarHeading(const DecodedCommand& command, EngineScript* script);
void DirectCar(const DecodedCommand& command, EngineScript* script);
void SetCarSpeed(const DecodedCommand& command, EngineScript* script);
void SetPsychoDriving(const DecodedCommand& command, EngineScript* script);
void SetNormalDriving(const DecodedCommand& command, EngineScript* script);
void SetCarBehaviour(const DecodedCommand& command, EngineScript* script);
void DriveCarTo(const DecodedCommand& command, EngineScript* script);

// --- Texts (commands_texts.cpp)
void ShowText(const DecodedCommand& command, EngineScript* script);
void ShowNumberText(const DecodedCommand& command, EngineScript* script);

// --- The camera (commands_camera.cpp)
void SetFixedCamera(const DecodedCommand& command, EngineScript* script);
void PointCameraAt(const DecodedCommand& command, EngineScript* script);
void RestoreCamera(const DecodedCommand& command, EngineScript* script);
void SetCutsceneMode(const DecodedCommand& command, EngineScript* script);

// --- Radar markers (commands_markers.cpp)
void PlaceMarkerAtPoint(const DecodedCommand& command, EngineScript* script);
void PlaceMarkerOnCar(const DecodedCommand& command, EngineScript* script);
void PlaceMarkerOnPed(const DecodedCommand& command, EngineScript* script);
void RemoveMarker(const DecodedCommand& command, EngineScript* script);

// --- What handlers share

// Requested at least the scenario's model delay ago, and not a model that never loads.
bool ModelAvailable(int32_t model);

// A direction's words on its ped's or car's label.
inline std::string LabelOf(const DecodedCommand& command)
{
    return command.row->words(command.id, command.args, kLabelWords);
}

// Objects of an earlier boot of the scripts are the host's to clear: only
// those of the present boot count against the most its scripts hold at once.
template <typename Thing>
void CheckHeldByThisBoot(const std::map<int32_t, Thing>& things, size_t most, const char* what)
{
    size_t held = 0;
    for (auto thing = things.lower_bound(engineRun->firstHandleOfBoot); thing != things.end(); ++thing)
        ++held;
    if (held > most)
        ReportHostError("the host holds " + std::to_string(held) + " " + what + " of the scripts' boot, more than " +
                        std::to_string(most));
}

}  // namespace hostsim
