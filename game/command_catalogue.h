// The command catalogue: one constant descriptor per host command the module
// sends, each command in exactly one form, in ascending order of command id.
// Every wrapper method that sends a command uses that command's row. The
// list below is the one source: it makes the descriptors, the catalogue as a
// whole and its count.
#pragma once

#include <cstddef>

#include "script/command.h"

// One row per command: ROW(descriptor, id, argument types), then the wrapper
// methods that send it.
// clang-format off
#define COMMAND_CATALOGUE(ROW) \
    ROW(kWait,                 0x0001, "i")              /* ScriptControl::Wait, WaitMs */                           \
    ROW(kCommand004E,          0x004E, "")               /* ScriptControl::Command004E */                            \
    ROW(kCreatePlayer,         0x0053, "ifffv")          /* Player::Player */                                        \
    ROW(kCommand0055,          0x0055, "vfff")           /* Player::Command0055 */                                   \
    ROW(kCreatePed,            0x009A, "iifffv")         /* Ped::Create */                                           \
    ROW(kDiscardPed,           0x009B, "v")              /* Ped::Discard */                                          \
    ROW(kCommand009C,          0x009C, "vi")             /* Ped::Command009C */                                      \
    ROW(kCreateCar,            0x00A5, "ifffv")          /* Car::Car */                                              \
    ROW(kDeleteCar,            0x00A6, "v")              /* Car::Delete, Car::~Car */                                \
    ROW(kSetPsychoDriving,     0x00A8, "v")              /* Car::SetPsychoDriving */                                 \
    ROW(kSetNormalDriving,     0x00A9, "v")              /* Car::SetNormalDriving */                                 \
    ROW(kSetCarSpeed,          0x00AD, "vf")             /* Car::SetSpeed */                                         \
    ROW(kCommand00AE,          0x00AE, "vi")             /* Car::Command00AE */                                      \
    ROW(kSetCarBehaviour,      0x00AF, "vi")             /* Car::SetBehaviour */                                     \
    ROW(kShowTitleText,        0x00BA, "sii")            /* World::ShowTitleText */                                  \
    ROW(kShowText,             0x00BC, "sii")            /* World::ShowText */                                       \
    ROW(kCommand00BE,          0x00BE, "")               /* World::Command00BE */                                    \
    ROW(kSetTimeOfDay,         0x00C0, "ii")             /* World::SetTimeOfDay */                                   \
    ROW(kStartScript,          0x00D7, "iz")             /* ScriptControl::StartScript, SpawnScriptThread */         \
    ROW(kCommand00F5,          0x00F5, "vffffffi")       /* Player::Command00F5 */                                   \
    ROW(kIsPlayerWithinRange,  0x00F6, "vffffffi")       /* Player::IsWithinRange */                                 \
    ROW(kCommand00FE,          0x00FE, "vffffffi")       /* Ped::Command00FE */                                      \
    ROW(kCommand0109,          0x0109, "vi")             /* Player::Command0109 */                                   \
    ROW(kCommand010D,          0x010D, "vi")             /* Player::Command010D */                                   \
    ROW(kCommand0110,          0x0110, "v")              /* Player::Command0110 */                                   \
    ROW(kCommand0111,          0x0111, "i")              /* World::Command0111 */                                    \
    ROW(kCommand0118,          0x0118, "v")              /* Ped::Command0118 */                                      \
    ROW(kCommand011A,          0x011A, "vi")             /* Ped::Command011A */                                      \
    ROW(kCommand011C,          0x011C, "v")              /* Ped::Command011C */                                      \
    ROW(kCreatePed0129,        0x0129, "viiv")           /* Ped::Create0129, Ped::Create0129NoLoad */                \
    ROW(kCreateCarGenerator,   0x014B, "ffffiiiiiiiiv")  /* World::CreateCarGenerator */                             \
    ROW(kSetCarGeneratorValue, 0x014C, "vi")             /* World::SetCarGeneratorValue */                           \
    ROW(kSetZoneInfoB,         0x0152, "siiiiiiiiiiii")  /* World::SetZoneInfoB */                                   \
    ROW(kCommand0158,          0x0158, "vii")            /* World::Command0158 */                                    \
    ROW(kCommand0159,          0x0159, "vii")            /* World::Command0159 */                                    \
    ROW(kSetZoneInfoA,         0x015C, "siiiiiiiiiiii")  /* World::SetZoneInfoA */                                   \
    ROW(kSetFixedCamera,       0x015F, "ffffff")         /* World::SetFixedCamera */                                 \
    ROW(kPointCameraAt,        0x0160, "fffi")           /* World::PointCameraAt */                                  \
    ROW(kPlaceMarker0161,      0x0161, "viiv")           /* RadarMarker::Place0161 */                                \
    ROW(kPlaceMarker0162,      0x0162, "viiv")           /* RadarMarker::Place0162 */                                \
    ROW(kRemoveMarker,         0x0164, "v")              /* RadarMarker::~RadarMarker */                             \
    ROW(kCommand0165,          0x0165, "vi")             /* RadarMarker::Command0165 */                              \
    ROW(kCommand0168,          0x0168, "vi")             /* RadarMarker::Command0168 */                              \
    ROW(kFadeColour,           0x0169, "iii")            /* World::Fade */                                           \
    ROW(kFade,                 0x016A, "ii")             /* World::Fade */                                           \
    ROW(kIsFading,             0x016B, "")               /* World::IsFading */                                       \
    ROW(kCommand016C,          0x016C, "ffff")           /* World::Command016C */                                    \
    ROW(kCommand016D,          0x016D, "ffff")           /* World::Command016D */                                    \
    ROW(kSetPlayerHeading,     0x0171, "vf")             /* Player::SetHeading */                                    \
    ROW(kSetPedHeading,        0x0173, "vf")             /* Ped::SetHeading */                                       \
    ROW(kSetCarHeading,        0x0175, "vf")             /* Car::SetHeading */                                       \
    ROW(kCommand0177,          0x0177, "vf")             /* World::Command0177 */                                    \
    ROW(kCommand018C,          0x018C, "ifff")           /* World::Command018C */                                    \
    ROW(kCommand01AF,          0x01AF, "vffffffi")       /* Car::Command01AF */                                      \
    ROW(kCommand01B1,          0x01B1, "vii")            /* Player::Command01B1 */                                   \
    ROW(kCommand01B2,          0x01B2, "vii")            /* Ped::Command01B2 */                                      \
    ROW(kSetPlayerControls,    0x01B4, "vi")             /* Player::SetControlsLocked */                             \
    ROW(kHoldWeather,          0x01B5, "i")              /* World::HoldWeather */                                    \
    ROW(kSetWeather,           0x01B6, "i")              /* World::SetWeather */                                     \
    ROW(kReleasePed,           0x01C2, "v")              /* Ped::~Ped */                                             \
    ROW(kReleaseCar,           0x01C3, "v")              /* Car::~Car */                                             \
    ROW(kCreatePed01C8,        0x01C8, "viiiv")          /* Ped::Create01C8 */                                       \
    ROW(kCommand01C9,          0x01C9, "vv")             /* Ped::Command01C9 */                                      \
    ROW(kCommand01CA,          0x01CA, "vv")             /* Ped::Command01CA */                                      \
    ROW(kCommand01D2,          0x01D2, "vv")             /* Ped::Command01D2 */                                      \
    ROW(kCommand01D4,          0x01D4, "vv")             /* Ped::Command01D4 */                                      \
    ROW(kCommand01D5,          0x01D5, "vv")             /* Ped::Command01D5 */                                      \
    ROW(kCommand01DF,          0x01DF, "vv")             /* Ped::Command01DF */                                      \
    ROW(kCommand01E3,          0x01E3, "siii")           /* World::Command01E3 */                                    \
    ROW(kShowNumberText,       0x01E4, "siii")           /* World::ShowNumberText */                                 \
    ROW(kCommand01E8,          0x01E8, "ffffff")         /* World::Command01E8 */                                    \
    ROW(kCommand01ED,          0x01ED, "v")              /* Ped::Command01ED */                                      \
    ROW(kCommand01F0,          0x01F0, "i")              /* World::Command01F0 */                                    \
    ROW(kGetCharacterHandle,   0x01F5, "vv")             /* Player::Player */                                        \
    ROW(kCommand020A,          0x020A, "vi")             /* Car::Command020A */                                      \
    ROW(kCommand020F,          0x020F, "vv")             /* Ped::Command020F */                                      \
    ROW(kCommand0222,          0x0222, "vi")             /* Player::Command0222 */                                   \
    ROW(kCommand0227,          0x0227, "vv")             /* Car::Command0227 */                                      \
    ROW(kCommand0229,          0x0229, "vii")            /* Car::Command0229 */                                      \
    ROW(kCommand022A,          0x022A, "ffffff")         /* World::Command022A */                                    \
    ROW(kCommand022B,          0x022B, "ffffff")         /* World::Command022B */                                    \
    ROW(kSetGroupPedModels,    0x0235, "iii")            /* World::SetGroupPedModels */                              \
    ROW(kSetGroupCarModel,     0x0236, "ii")             /* World::SetGroupCarModel */                               \
    ROW(kLoadSpecialModel,     0x023C, "is")             /* Ped::LoadSpecialModel, SpecialPed::SpecialPed */         \
    ROW(kCommand0243,          0x0243, "vi")             /* Ped::Command0243 */                                      \
    ROW(kRequestModel,         0x0247, "i")              /* WaitForModel */                                          \
    ROW(kIsModelAvailable,     0x0248, "i")              /* ScriptControl::IsModelAvailable */                       \
    ROW(kCreateObject,         0x029B, "ifffv")          /* World::CreateObject */                                   \
    ROW(kSetCutsceneMode,      0x02A3, "i")              /* World::SetCutsceneMode */                                \
    ROW(kPlaceMarkerAtPoint,   0x02A7, "fffiv")          /* RadarMarker::PlaceAtPoint */                             \
    ROW(kCommand02AA,          0x02AA, "vi")             /* Car::Command02AA */                                      \
    ROW(kSetCarImmunities,     0x02AC, "viiiii")         /* Car::SetImmunities */                                    \
    ROW(kCommand02B3,          0x02B3, "vfffffffi")      /* Player::Command02B3 */                                   \
    ROW(kDriveCarTo,           0x02C2, "vfff")           /* Car::DriveTo */                                          \
    ROW(kRestoreCamera,        0x02EB, "")               /* World::RestoreCamera */                                  \
    ROW(kCommand030C,          0x030C, "i")              /* World::Command030C */                                    \
    ROW(kCommand030D,          0x030D, "i")              /* World::Command030D */                                    \
    ROW(kCommand0319,          0x0319, "vi")             /* Ped::Command0319 */                                      \
    ROW(kSetZoneGroup,         0x0324, "sii")            /* World::SetZoneGroup */                                   \
    ROW(kCommand0330,          0x0330, "vi")             /* Player::Command0330 */                                   \
    ROW(kCommand034D,          0x034D, "vffi")           /* World::Command034D */                                    \
    ROW(kDeletePed,            0x034F, "v")              /* Ped::Delete, Ped::~Ped */                                \
    ROW(kSetPlayerModel,       0x0352, "vs")             /* Player::SetModel */                                      \
    ROW(kApplyPlayerModel,     0x0353, "v")              /* Player::SetModel */                                      \
    ROW(kCommand035E,          0x035E, "vi")             /* Player::Command035E */                                   \
    ROW(kCommand0363,          0x0363, "ffffii")         /* World::Command0363 */                                    \
    ROW(kAnimatePed,           0x0372, "vii")            /* Ped::Animate */                                          \
    ROW(kCommand0373,          0x0373, "")               /* World::Command0373 */                                    \
    ROW(kLoadRequestedModels,  0x038B, "")               /* WaitForModel, Player::SetModel, Ped::LoadSpecialModel */ \
    ROW(kCommand0392,          0x0392, "vi")             /* World::Command0392 */                                    \
    ROW(kCommand0394,          0x0394, "i")              /* World::Command0394 */                                    \
    ROW(kCommand0395,          0x0395, "iffff")          /* World::Command0395 */                                    \
    ROW(kCommand0397,          0x0397, "vi")             /* Car::Command0397 */                                      \
    ROW(kSetScriptName,        0x03A4, "s")              /* ScriptControl::SetScriptName */                          \
    ROW(kCommand03AD,          0x03AD, "i")              /* World::Command03AD */                                    \
    ROW(kCommand03B6,          0x03B6, "ffffii")         /* World::Command03B6 */                                    \
    ROW(kCommand03C8,          0x03C8, "")               /* Player::Command03C8 */                                   \
    ROW(kPrepareSceneAt,       0x03CB, "fff")            /* World::PrepareSceneAt */                                 \
    ROW(kCommand03E2,          0x03E2, "v")              /* Ped::Command03E2 */                                      \
    ROW(kCommand03F3,          0x03F3, "vii")            /* Car::Command03F3 */                                      \
    ROW(kCommand03F9,          0x03F9, "vvi")            /* Ped::Command03F9 */                                      \
    ROW(kGetCarOffsetPoint,    0x0407, "vfffvvv")        /* Car::GetOffsetPoint */                                   \
    ROW(kCommand04BB,          0x04BB, "i")              /* World::Command04BB */                                    \
    ROW(kGetPlayerOffsetPoint, 0x04C4, "vfffvvv")        /* Player::GetOffsetPoint */                                \
    ROW(kPrepareAreaAt,        0x04E4, "ff")             /* World::PrepareAreaAt */                                  \
    ROW(kCommand04EB,          0x04EB, "vii")            /* Ped::Command04EB */                                      \
    ROW(kSetZoneInfoC,         0x04EC, "siiiiiiiiiiii")  /* World::SetZoneInfoC */                                   \
    ROW(kCommand04ED,          0x04ED, "s")              /* World::Command04ED */                                    \
    ROW(kCommand04EF,          0x04EF, "s")              /* World::Command04EF */                                    \
    ROW(kCommand04F9,          0x04F9, "ii")             /* World::Command04F9 */                                    \
    ROW(kCommand04FA,          0x04FA, "i")              /* World::Command04FA */                                    \
    ROW(kCommand055D,          0x055D, "vi")             /* Player::Command055D */                                   \
    ROW(kCommand055E,          0x055E, "vi")             /* Player::Command055E */                                   \
    ROW(kCommand055F,          0x055F, "vi")             /* Player::Command055F */                                   \
    ROW(kCommand0566,          0x0566, "vi")             /* World::Command0566 */
// clang-format on

#define COMMAND_CATALOGUE_DESCRIPTOR(name, id, types) inline constexpr CommandDescriptor name = { id, types };
COMMAND_CATALOGUE(COMMAND_CATALOGUE_DESCRIPTOR)
#undef COMMAND_CATALOGUE_DESCRIPTOR

// Every row above, in the same order, with the descriptor's name: for
// checking the catalogue as a whole and for naming a command in a test.
struct CatalogueRow {
    const CommandDescriptor* command;
    const char* name;  // "kSetCarHeading"
};

#define COMMAND_CATALOGUE_ROW(name, id, types) { &name, #name },
inline constexpr CatalogueRow kCommandCatalogue[] = { COMMAND_CATALOGUE(COMMAND_CATALOGUE_ROW) };
#undef COMMAND_CATALOGUE_ROW
inline constexpr size_t kCommandCatalogueCount = sizeof kCommandCatalogue / sizeof kCommandCatalogue[0];

constexpr bool CatalogueIdsStrictlyAscend()
{
    for (size_t row = 1; row < kCommandCatalogueCount; ++row)
        if (kCommandCatalogue[row - 1].command->id >= kCommandCatalogue[row].command->id)
            return false;
    return true;
}
static_assert(CatalogueIdsStrictlyAscend(), "one row per command, in ascending order of id");
