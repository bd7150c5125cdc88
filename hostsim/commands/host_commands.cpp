// The substitute host's own table of its script commands: one row a command
// the module's catalogue can send, with the argument shape the host decodes
// it by, what the host calls it, the handler that imitates it and what the
// readable log and the labels say of it. Kept apart from the module's
// catalogue on purpose, so that a wrong letter on either side shows up as a
// decoding error instead of agreeing with itself; a command without a
// handler is still decoded and recorded.
#include "hostsim/commands/host_commands.h"

#include <algorithm>

#include "hostsim/commands/command_handlers.h"
#include "hostsim/commands/directions.h"
#include "hostsim/record/readable_log.h"

namespace hostsim {

// clang-format off
constexpr HostCommand kHostCommands[] = {
    // id     shape            name                       handler               readable log      words               kind
    { 0x0001, "i",             "wait",                    Wait,                 nullptr,          nullptr,            kWaitCommand },
    { 0x004E, "",              "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x0053, "ifffv",         "create player",           CreatePlayer,         nullptr,          nullptr,            kPlainCommand },
    { 0x0055, "vfff",          "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x009A, "iifffv",        "create ped",              CreatePed,            LogPedCreated,    nullptr,            kPlainCommand },
    { 0x009B, "v",             "discard ped",             DropPed,              LogPedRemoved,    nullptr,            kPlainCommand },
    { 0x009C, "vi",            "",                        DirectPed,            LogPedDirection,  CommandWords,       kPlainCommand },
    { 0x00A5, "ifffv",         "create car",              CreateCar,            LogCarCreated,    nullptr,            kPlainCommand },
    { 0x00A6, "v",             "delete car",              DropCar,              LogCarRemoved,    nullptr,            kPlainCommand },
    { 0x00A8, "v",             "psycho driving",          SetPsychoDriving,     LogCarDirection,  PsychoDrivingWords, kPlainCommand },
    { 0x00A9, "v",             "normal driving",          SetNormalDriving,     LogCarDirection,  NormalDrivingWords, kPlainCommand },
    { 0x00AD, "vf",            "set car speed",           SetCarSpeed,          LogCarDirection,  SpeedWords,         kPlainCommand },
    { 0x00AE, "vi",            "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x00AF, "vi",            "set car behaviour",       SetCarBehaviour,      LogCarDirection,  BehaviourWords,     kPlainCommand },
    { 0x00BA, "sii",           "show title text",         ShowText,             nullptr,          nullptr,            kPlainCommand },
    { 0x00BC, "sii",           "show text",               ShowText,             nullptr,          nullptr,            kPlainCommand },
    { 0x00BE, "",              "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x00C0, "ii",            "set time of day",         SetTimeOfDay,         LogClock,         nullptr,            kPlainCommand },
    { 0x00D7, "iz",            "start script",            StartScript,          nullptr,          nullptr,            kPlainCommand },
    { 0x00F5, "vffffffi",      "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x00F6, "vffffffi",      "is player within range",  IsPlayerWithinRange,  nullptr,          nullptr,            kPlainCommand },
    { 0x00FE, "vffffffi",      "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x0109, "vi",            "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x010D, "vi",            "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x0110, "v",             "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x0111, "i",             "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x0118, "v",             "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x011A, "vi",            "",                        DirectPed,            LogPedDirection,  CommandWords,       kPlainCommand },
    { 0x011C, "v",             "",                        DirectPed,            LogPedDirection,  CommandWords,       kPlainCommand },
    { 0x0129, "viiv",          "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x014B, "ffffiiiiiiiiv", "create car generator",    CreateCarGenerator,   nullptr,          nullptr,            kPlainCommand },
    { 0x014C, "vi",            "set car generator value", SetCarGeneratorValue, nullptr,          nullptr,            kPlainCommand },
    { 0x0152, "siiiiiiiiiiii", "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x0158, "vii",           "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x0159, "vii",           "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x015C, "siiiiiiiiiiii", "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x015F, "ffffff",        "set fixed camera",        SetFixedCamera,       nullptr,          nullptr,            kPlainCommand },
    { 0x0160, "fffi",          "point camera at",         PointCameraAt,        nullptr,          nullptr,            kPlainCommand },
    { 0x0161, "viiv",          "place marker on car",     PlaceMarkerOnCar,     nullptr,          nullptr,            kPlainCommand },
    { 0x0162, "viiv",          "place marker on ped",     PlaceMarkerOnPed,     nullptr,          nullptr,            kPlainCommand },
    { 0x0164, "v",             "remove marker",           RemoveMarker,         LogMarkerRemoved, nullptr,            kPlainCommand },
    { 0x0165, "vi",            "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x0168, "vi",            "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x0169, "iii",           "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x016A, "ii",            "fade",                    Fade,                 LogFade,          nullptr,            kPlainCommand },
    { 0x016B, "",              "is fading",               IsFading,             nullptr,          nullptr,            kPlainCommand },
    { 0x016C, "ffff",          "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x016D, "ffff",          "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x0171, "vf",            "set player heading",      SetPlayerHeading,     nullptr,          nullptr,            kPlainCommand },
    { 0x0173, "vf",            "set ped heading",         SetPedHeading,        nullptr,          nullptr,            kPlainCommand },
    { 0x0175, "vf",            "set car heading",         SetCarHeading,        nullptr,          nullptr,            kPlainCommand },
    { 0x0177, "vf",            "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x018C, "ifff",          "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x01AF, "vffffffi",      "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x01B1, "vii",           "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x01B2, "vii",           "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x01B4, "vi",            "set player controls",     SetPlayerControls,    nullptr,          nullptr,            kPlainCommand },
    { 0x01B5, "i",             "hold weather",            HoldWeather,          nullptr,          nullptr,            kPlainCommand },
    { 0x01B6, "i",             "set weather",             SetWeather,           LogWeather,       nullptr,            kPlainCommand },
    { 0x01C2, "v",             "release ped",             DropPed,              LogPedRemoved,    nullptr,            kPlainCommand },
    { 0x01C3, "v",             "release car",             DropCar,              LogCarRemoved,    nullptr,            kPlainCommand },
    { 0x01C8, "viiiv",         "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x01C9, "vv",            "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x01CA, "vv",            "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x01D2, "vv",            "",                        DirectPed,            LogPedDirection,  CommandWords,       kPlainCommand },
    { 0x01D4, "vv",            "",                        DirectPed,            LogPedDirection,  CommandWords,       kPlainCommand },
    { 0x01D5, "vv",            "send ped into car",       SendPedIntoCar,       LogPedDirection,  IntoCarWords,       kPlainCommand },
    { 0x01DF, "vv",            "",                        DirectPed,            LogPedDirection,  CommandWords,       kPlainCommand },
    { 0x01E3, "siii",          "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x01E4, "siii",          "show number text",        ShowNumberText,       nullptr,          nullptr,            kPlainCommand },
    { 0x01E8, "ffffff",        "map box",                 AddMapBox,            nullptr,          nullptr,            kFirstMapBox },
    { 0x01ED, "v",             "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x01F0, "i",             "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x01F5, "vv",            "get character handle",    GetCharacterHandle,   nullptr,          nullptr,            kPlainCommand },
    { 0x020A, "vi",            "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x020F, "vv",            "",                        DirectPed,            LogPedDirection,  WithYouWords,       kPlainCommand },
    { 0x0222, "vi",            "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x0227, "vv",            "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x0229, "vii",           "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x022A, "ffffff",        "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x022B, "ffffff",        "map box",                 AddMapBox,            nullptr,          nullptr,            kSecondMapBox },
    { 0x0235, "iii",           "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x0236, "ii",            "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x023C, "is",            "load special model",      LoadSpecialModel,     LogSpecialModel,  nullptr,            kPlainCommand },
    { 0x0243, "vi",            "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x0247, "i",             "request model",           RequestModel,         nullptr,          nullptr,            kPlainCommand },
    { 0x0248, "i",             "is model available",      IsModelAvailable,     nullptr,          nullptr,            kPlainCommand },
    { 0x029B, "ifffv",         "create object",           CreateObject,         nullptr,          nullptr,            kPlainCommand },
    { 0x02A3, "i",             "set cutscene mode",       SetCutsceneMode,      nullptr,          nullptr,            kPlainCommand },
    { 0x02A7, "fffiv",         "place marker at point",   PlaceMarkerAtPoint,   LogMarkerPlaced,  nullptr,            kPlainCommand },
    { 0x02AA, "vi",            "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x02AC, "viiiii",        "set car immunities",      DirectCar,            LogCarDirection,  CommandWords,       kPlainCommand },
    { 0x02B3, "vfffffffi",     "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x02C2, "vfff",          "drive car to",            DriveCarTo,           LogCarDirection,  DriveToWords,       kPlainCommand },
    { 0x02EB, "",              "restore camera",          RestoreCamera,        nullptr,          nullptr,            kPlainCommand },
    { 0x030C, "i",             "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x030D, "i",             "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x0319, "vi",            "",                        DirectPed,            LogPedDirection,  CommandWords,       kPlainCommand },
    { 0x0324, "sii",           "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x0330, "vi",            "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x034D, "vffi",          "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x034F, "v",             "delete ped",              DropPed,              LogPedRemoved,    nullptr,            kPlainCommand },
    { 0x0352, "vs",            "set player model",        SetPlayerModel,       LogPlayerModel,   nullptr,            kPlainCommand },
    { 0x0353, "v",             "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x035E, "vi",            "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x0363, "ffffii",        "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x0372, "vii",           "animate ped",             DirectPed,            LogPedDirection,  AnimWords,          kPlainCommand },
    { 0x0373, "",              "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x038B, "",              "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x0392, "vi",            "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x0394, "i",             "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x0395, "iffff",         "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x0397, "vi",            "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x03A4, "s",             "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x03AD, "i",             "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x03B6, "ffffii",        "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x03C8, "",              "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x03CB, "fff",           "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x03E2, "v",             "",                        DirectPed,            LogPedDirection,  CommandWords,       kPlainCommand },
    { 0x03F3, "vii",           "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x03F9, "vvi",           "",                        DirectPed,            LogPedDirection,  CommandWords,       kPlainCommand },
    { 0x0407, "vfffvvv",       "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x04BB, "i",             "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x04C4, "vfffvvv",       "get player offset point", GetPlayerOffsetPoint, nullptr,          nullptr,            kPlainCommand },
    { 0x04E4, "ff",            "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x04EB, "vii",           "",                        DirectPed,            LogPedDirection,  CommandWords,       kPlainCommand },
    { 0x04EC, "siiiiiiiiiiii", "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x04ED, "s",             "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x04EF, "s",             "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x04F9, "ii",            "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x04FA, "i",             "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x055D, "vi",            "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x055E, "vi",            "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x055F, "vi",            "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
    { 0x0566, "vi",            "",                        nullptr,              nullptr,          nullptr,            kPlainCommand },
};
// clang-format on

const size_t kHostCommandCount = sizeof kHostCommands / sizeof kHostCommands[0];

static constexpr bool IdsStrictlyAscend()
{
    for (size_t row = 1; row < sizeof kHostCommands / sizeof kHostCommands[0]; ++row)
        if (kHostCommands[row - 1].id >= kHostCommands[row].id)
            return false;
    return true;
}
static_assert(IdsStrictlyAscend(), "one row per command, in ascending order of id");

const HostCommand* FindHostCommand(uint16_t id)
{
    const HostCommand* end = kHostCommands + kHostCommandCount;
    const HostCommand* row = std::lower_bound(kHostCommands, end, id,
                                              [](const HostCommand& command, uint16_t id) { return command.id < id; });
    return row != end && row->id == id ? row : nullptr;
}

}  // namespace hostsim
