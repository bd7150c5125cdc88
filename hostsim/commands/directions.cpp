// The wording of directions, as the game keys file words what the keys send.
#include "hostsim/commands/directions.h"

#include <cstdio>

namespace hostsim {

struct Behaviour {
    int32_t code;
    const char* words;
};

// clang-format off
static const Behaviour kBehaviours[] = {
    { 0, "no behaviour" },
    { 1, "follow roads and paths" },
    { 2, "try to kill the player" },
    { 4, "drive to the player and stop" },
    { 8, "ignore all roads and paths" },
};
// clang-format on
static_assert(sizeof kBehaviours / sizeof kBehaviours[0] == 5, "the studio's five behaviour keys");

static std::string Number(float value)
{
    char text[32];
    snprintf(text, sizeof text, "%g", static_cast<double>(value));
    return text;
}

static std::string Fixed(float value)
{
    char text[32];
    snprintf(text, sizeof text, "%.2f", static_cast<double>(value));
    return text;
}

static std::string Duration(int32_t ms)
{
    return ms % 1000 == 0 ? std::to_string(ms / 1000) + " s" : std::to_string(ms) + " ms";
}

static int32_t IntArgument(const std::vector<TraceArgument>& args, size_t n)
{
    return n < args.size() ? args[n].i : 0;
}

static float FloatArgument(const std::vector<TraceArgument>& args, size_t n)
{
    return n < args.size() ? args[n].f : 0;
}

std::string CommandWords(uint16_t id, const std::vector<TraceArgument>& args, WordsFor)
{
    std::string words = CommandIdText(id);
    for (size_t n = 1; n < args.size(); ++n) {
        const TraceArgument& argument = args[n];
        words += " ";
        if (argument.kind == 'f')
            words += Number(argument.f);
        else if (argument.kind == 'v')
            words += "#" + std::to_string(argument.i);
        else if (argument.kind == 's')
            words += argument.s;
        else
            words += std::to_string(argument.i);
    }
    return words;
}

// The animation and its ms.
std::string AnimWords(uint16_t, const std::vector<TraceArgument>& args, WordsFor form)
{
    const std::string anim = "anim " + std::to_string(IntArgument(args, 1));
    if (form == kLabelWords)
        return anim + ", " + Duration(IntArgument(args, 2));
    return anim + " for " + std::to_string(IntArgument(args, 2)) + " ms";
}

std::string WithYouWords(uint16_t, const std::vector<TraceArgument>&, WordsFor)
{
    return "with you";
}

std::string IntoCarWords(uint16_t, const std::vector<TraceArgument>& args, WordsFor)
{
    return "into car #" + std::to_string(IntArgument(args, 1));
}

std::string SpeedWords(uint16_t, const std::vector<TraceArgument>& args, WordsFor)
{
    return "speed " + Number(FloatArgument(args, 1));
}

// The label as short as it goes, the log with two decimals.
std::string DriveToWords(uint16_t, const std::vector<TraceArgument>& args, WordsFor form)
{
    std::string (*number)(float) = form == kLabelWords ? Number : Fixed;
    return (form == kLabelWords ? "to (" : "drives to (") + number(FloatArgument(args, 1)) + ", " +
           number(FloatArgument(args, 2)) + ", " + number(FloatArgument(args, 3)) + ")";
}

// A behaviour of the studio's keys by its words, any other as a command.
std::string BehaviourWords(uint16_t id, const std::vector<TraceArgument>& args, WordsFor form)
{
    for (const Behaviour& behaviour : kBehaviours)
        if (behaviour.code == IntArgument(args, 1))
            return behaviour.words;
    return CommandWords(id, args, form);
}

std::string NormalDrivingWords(uint16_t, const std::vector<TraceArgument>&, WordsFor)
{
    return "normal driving";
}

std::string PsychoDrivingWords(uint16_t, const std::vector<TraceArgument>&, WordsFor)
{
    return "psycho driving";
}

}  // namespace hostsim
