// Directions the module sends to one ped or car, in words: the short form a
// label shows ("anim 19, 2 s") and the readable log's ("anim 19 for 2000 ms").
// Each direction's row of the host's command table names its words.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "hostsim/commands/host_commands.h"
#include "hostsim/record/trace.h"

namespace hostsim {

// Any direction: the command's id and what follows the ped's or car's own handle.
std::string CommandWords(uint16_t id, const std::vector<TraceArgument>& args, WordsFor form);
std::string AnimWords(uint16_t id, const std::vector<TraceArgument>& args, WordsFor form);
std::string WithYouWords(uint16_t id, const std::vector<TraceArgument>& args, WordsFor form);
// "into car #HANDLE"; the label of a car with a studio slot is worded by the
// handler, which knows the car.
std::string IntoCarWords(uint16_t id, const std::vector<TraceArgument>& args, WordsFor form);
std::string SpeedWords(uint16_t id, const std::vector<TraceArgument>& args, WordsFor form);
std::string DriveToWords(uint16_t id, const std::vector<TraceArgument>& args, WordsFor form);
std::string BehaviourWords(uint16_t id, const std::vector<TraceArgument>& args, WordsFor form);
std::string NormalDrivingWords(uint16_t id, const std::vector<TraceArgument>& args, WordsFor form);
std::string PsychoDrivingWords(uint16_t id, const std::vector<TraceArgument>& args, WordsFor form);

}  // namespace hostsim
