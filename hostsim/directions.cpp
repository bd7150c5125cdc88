// The wording of directions, as the game keys file words what the keys send.
#include "hostsim/directions.h"

#include <cstdio>

struct Direction {
    uint16_t id;
    DirectionSubject subject;
};

// Headings (0x0173, 0x0175) are placing, not directing: left out.
static const Direction kDirections[] = {
    { 0x0372, kPedDirection },  // animation, ms
    { 0x020F, kPedDirection },  // with the player
    { 0x01DF, kPedDirection },
    { 0x01D2, kPedDirection },
    { 0x01D5, kPedDirection },  // into a car
    { 0x01D4, kPedDirection },
    { 0x03F9, kPedDirection },
    { 0x04EB, kPedDirection },
    { 0x009C, kPedDirection },
    { 0x0319, kPedDirection },
    { 0x011A, kPedDirection },
    { 0x011C, kPedDirection },
    { 0x03E2, kPedDirection },
    { 0x00AD, kCarDirection },  // speed
    { 0x02C2, kCarDirection },  // drive to a point
    { 0x00AF, kCarDirection },  // behaviour
    { 0x00A9, kCarDirection },  // normal driving
    { 0x00A8, kCarDirection },  // psycho driving
    { 0x02AC, kCarDirection },  // immunities
};
static_assert(sizeof kDirections / sizeof kDirections[0] == 19, "thirteen ped and six car directions");

struct Behaviour {
    int32_t code;
    const char* words;
};

static const Behaviour kBehaviours[] = {
    { 0, "no behaviour" },
    { 1, "follow roads and paths" },
    { 2, "try to kill the player" },
    { 4, "drive to the player and stop" },
    { 8, "ignore all roads and paths" },
};
static_assert(sizeof kBehaviours / sizeof kBehaviours[0] == 5, "the studio's five behaviour keys");

DirectionSubject DirectionSubjectOf(uint16_t id)
{
    for (const Direction& direction : kDirections)
        if (direction.id == id)
            return direction.subject;
    return kNotADirection;
}

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

// The words both forms share; "" for those they word apart.
static std::string SharedWords(uint16_t id, const std::vector<TraceArgument>& args)
{
    switch (id) {
    case 0x020F:
        return "with you";
    case 0x01D5:
        return "into car #" + std::to_string(IntArgument(args, 1));
    case 0x00A9:
        return "normal driving";
    case 0x00A8:
        return "psycho driving";
    case 0x00AD:
        return "speed " + Number(FloatArgument(args, 1));
    case 0x00AF:
        for (const Behaviour& behaviour : kBehaviours)
            if (behaviour.code == IntArgument(args, 1))
                return behaviour.words;
        break;
    }
    // The command's id and what follows the ped's or car's own handle.
    char idText[8];
    snprintf(idText, sizeof idText, "%04X", id);
    std::string words = idText;
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

std::string DirectionLabel(uint16_t id, const std::vector<TraceArgument>& args)
{
    if (id == 0x0372)
        return "anim " + std::to_string(IntArgument(args, 1)) + ", " + Duration(IntArgument(args, 2));
    if (id == 0x02C2)
        return "to (" + Number(FloatArgument(args, 1)) + ", " + Number(FloatArgument(args, 2)) + ", " +
               Number(FloatArgument(args, 3)) + ")";
    return SharedWords(id, args);
}

std::string DirectionLogText(uint16_t id, const std::vector<TraceArgument>& args)
{
    if (id == 0x0372)
        return "anim " + std::to_string(IntArgument(args, 1)) + " for " + std::to_string(IntArgument(args, 2)) + " ms";
    if (id == 0x02C2)
        return "drives to (" + Fixed(FloatArgument(args, 1)) + ", " + Fixed(FloatArgument(args, 2)) + ", " +
               Fixed(FloatArgument(args, 3)) + ")";
    return SharedWords(id, args);
}
