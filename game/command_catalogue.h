// The command catalogue: one constant descriptor per host command the module
// sends, each command in exactly one form, in ascending order of command id.
// Every wrapper method that sends a command uses that command's row.
#pragma once

#include <cstddef>

#include "script/command.h"

// clang-format off
//                                                         id      types
inline constexpr CommandDescriptor kWait                 = { 0x0001, "i" };              // ScriptControl::Wait, WaitMs
inline constexpr CommandDescriptor kCommand004E          = { 0x004E, "" };               // ScriptControl::Command004E
inline constexpr CommandDescriptor kCreatePlayer         = { 0x0053, "ifffv" };          // Player::Player
inline constexpr CommandDescriptor kCommand0055          = { 0x0055, "vfff" };           // Player::Command0055
inline constexpr CommandDescriptor kCreatePed            = { 0x009A, "iifffv" };         // Ped::Create
inline constexpr CommandDescriptor kDiscardPed           = { 0x009B, "v" };              // Ped::Discard
inline constexpr CommandDescriptor kCommand009C          = { 0x009C, "vi" };             // Ped::Command009C
inline constexpr CommandDescriptor kCreateCar            = { 0x00A5, "ifffv" };          // Car::Car
inline constexpr CommandDescriptor kDeleteCar            = { 0x00A6, "v" };              // Car::Delete, Car::~Car
inline constexpr CommandDescriptor kSetPsychoDriving     = { 0x00A8, "v" };              // Car::SetPsychoDriving
inline constexpr CommandDescriptor kSetNormalDriving     = { 0x00A9, "v" };              // Car::SetNormalDriving
inline constexpr CommandDescriptor kSetCarSpeed          = { 0x00AD, "vf" };             // Car::SetSpeed
inline constexpr CommandDescriptor kCommand00AE          = { 0x00AE, "vi" };             // Car::Command00AE
inline constexpr CommandDescriptor kSetCarBehaviour      = { 0x00AF, "vi" };             // Car::SetBehaviour
inline constexpr CommandDescriptor kShowTitleText        = { 0x00BA, "sii" };            // World::ShowTitleText
inline constexpr CommandDescriptor kShowText             = { 0x00BC, "sii" };            // World::ShowText
inline constexpr CommandDescriptor kCommand00BE          = { 0x00BE, "" };               // World::Command00BE
inline constexpr CommandDescriptor kSetTimeOfDay         = { 0x00C0, "ii" };             // World::SetTimeOfDay
inline constexpr CommandDescriptor kStartScript          = { 0x00D7, "iz" };             // ScriptControl::StartScript, SpawnScriptThread
inline constexpr CommandDescriptor kCommand00F5          = { 0x00F5, "vffffffi" };       // Player::Command00F5
inline constexpr CommandDescriptor kIsPlayerWithinRange  = { 0x00F6, "vffffffi" };       // Player::IsWithinRange
inline constexpr CommandDescriptor kCommand00FE          = { 0x00FE, "vffffffi" };       // Ped::Command00FE
inline constexpr CommandDescriptor kCommand0109          = { 0x0109, "vi" };             // Player::Command0109
inline constexpr CommandDescriptor kCommand010D          = { 0x010D, "vi" };             // Player::Command010D
inline constexpr CommandDescriptor kCommand0110          = { 0x0110, "v" };              // Player::Command0110
inline constexpr CommandDescriptor kCommand0111          = { 0x0111, "i" };              // World::Command0111
inline constexpr CommandDescriptor kCommand0118          = { 0x0118, "v" };              // Ped::Command0118
inline constexpr CommandDescriptor kCommand011A          = { 0x011A, "vi" };             // Ped::Command011A
inline constexpr CommandDescriptor kCommand011C          = { 0x011C, "v" };              // Ped::Command011C
inline constexpr CommandDescriptor kCreatePed0129        = { 0x0129, "viiv" };           // Ped::Create0129, Ped::Create0129NoLoad
inline constexpr CommandDescriptor kCreateCarGenerator   = { 0x014B, "ffffiiiiiiiiv" };  // World::CreateCarGenerator
inline constexpr CommandDescriptor kSetCarGeneratorValue = { 0x014C, "vi" };             // World::SetCarGeneratorValue
inline constexpr CommandDescriptor kSetZoneInfoB         = { 0x0152, "siiiiiiiiiiii" };  // World::SetZoneInfoB
inline constexpr CommandDescriptor kCommand0158          = { 0x0158, "vii" };            // World::Command0158
inline constexpr CommandDescriptor kCommand0159          = { 0x0159, "vii" };            // World::Command0159
inline constexpr CommandDescriptor kSetZoneInfoA         = { 0x015C, "siiiiiiiiiiii" };  // World::SetZoneInfoA
inline constexpr CommandDescriptor kSetFixedCamera       = { 0x015F, "ffffff" };         // World::SetFixedCamera
inline constexpr CommandDescriptor kPointCameraAt        = { 0x0160, "fffi" };           // World::PointCameraAt
inline constexpr CommandDescriptor kPlaceMarker0161      = { 0x0161, "viiv" };           // RadarMarker::Place0161
inline constexpr CommandDescriptor kPlaceMarker0162      = { 0x0162, "viiv" };           // RadarMarker::Place0162
inline constexpr CommandDescriptor kRemoveMarker         = { 0x0164, "v" };              // RadarMarker::~RadarMarker
inline constexpr CommandDescriptor kCommand0165          = { 0x0165, "vi" };             // RadarMarker::Command0165
inline constexpr CommandDescriptor kCommand0168          = { 0x0168, "vi" };             // RadarMarker::Command0168
inline constexpr CommandDescriptor kFadeColour           = { 0x0169, "iii" };            // World::Fade
inline constexpr CommandDescriptor kFade                 = { 0x016A, "ii" };             // World::Fade
inline constexpr CommandDescriptor kIsFading             = { 0x016B, "" };               // World::IsFading
inline constexpr CommandDescriptor kCommand016C          = { 0x016C, "ffff" };           // World::Command016C
inline constexpr CommandDescriptor kCommand016D          = { 0x016D, "ffff" };           // World::Command016D
inline constexpr CommandDescriptor kSetPlayerHeading     = { 0x0171, "vf" };             // Player::SetHeading
inline constexpr CommandDescriptor kSetPedHeading        = { 0x0173, "vf" };             // Ped::SetHeading
inline constexpr CommandDescriptor kSetCarHeading        = { 0x0175, "vf" };             // Car::SetHeading
inline constexpr CommandDescriptor kCommand0177          = { 0x0177, "vf" };             // World::Command0177
inline constexpr CommandDescriptor kCommand018C          = { 0x018C, "ifff" };           // World::Command018C
inline constexpr CommandDescriptor kCommand01AF          = { 0x01AF, "vffffffi" };       // Car::Command01AF
inline constexpr CommandDescriptor kCommand01B1          = { 0x01B1, "vii" };            // Player::Command01B1
inline constexpr CommandDescriptor kCommand01B2          = { 0x01B2, "vii" };            // Ped::Command01B2
inline constexpr CommandDescriptor kSetPlayerControls    = { 0x01B4, "vi" };             // Player::SetControlsLocked
inline constexpr CommandDescriptor kHoldWeather          = { 0x01B5, "i" };              // World::HoldWeather
inline constexpr CommandDescriptor kSetWeather           = { 0x01B6, "i" };              // World::SetWeather
inline constexpr CommandDescriptor kReleasePed           = { 0x01C2, "v" };              // Ped::~Ped
inline constexpr CommandDescriptor kReleaseCar           = { 0x01C3, "v" };              // Car::~Car
inline constexpr CommandDescriptor kCreatePed01C8        = { 0x01C8, "viiiv" };          // Ped::Create01C8
inline constexpr CommandDescriptor kCommand01C9          = { 0x01C9, "vv" };             // Ped::Command01C9
inline constexpr CommandDescriptor kCommand01CA          = { 0x01CA, "vv" };             // Ped::Command01CA
inline constexpr CommandDescriptor kCommand01D2          = { 0x01D2, "vv" };             // Ped::Command01D2
inline constexpr CommandDescriptor kCommand01D4          = { 0x01D4, "vv" };             // Ped::Command01D4
inline constexpr CommandDescriptor kCommand01D5          = { 0x01D5, "vv" };             // Ped::Command01D5
inline constexpr CommandDescriptor kCommand01DF          = { 0x01DF, "vv" };             // Ped::Command01DF
inline constexpr CommandDescriptor kCommand01E3          = { 0x01E3, "siii" };           // World::Command01E3
inline constexpr CommandDescriptor kShowNumberText       = { 0x01E4, "siii" };           // World::ShowNumberText
inline constexpr CommandDescriptor kCommand01E8          = { 0x01E8, "ffffff" };         // World::Command01E8
inline constexpr CommandDescriptor kCommand01ED          = { 0x01ED, "v" };              // Ped::Command01ED
inline constexpr CommandDescriptor kCommand01F0          = { 0x01F0, "i" };              // World::Command01F0
inline constexpr CommandDescriptor kGetCharacterHandle   = { 0x01F5, "vv" };             // Player::Player
inline constexpr CommandDescriptor kCommand020A          = { 0x020A, "vi" };             // Car::Command020A
inline constexpr CommandDescriptor kCommand020F          = { 0x020F, "vv" };             // Ped::Command020F
inline constexpr CommandDescriptor kCommand0222          = { 0x0222, "vi" };             // Player::Command0222
inline constexpr CommandDescriptor kCommand0227          = { 0x0227, "vv" };             // Car::Command0227
inline constexpr CommandDescriptor kCommand0229          = { 0x0229, "vii" };            // Car::Command0229
inline constexpr CommandDescriptor kCommand022A          = { 0x022A, "ffffff" };         // World::Command022A
inline constexpr CommandDescriptor kCommand022B          = { 0x022B, "ffffff" };         // World::Command022B
inline constexpr CommandDescriptor kSetGroupPedModels    = { 0x0235, "iii" };            // World::SetGroupPedModels
inline constexpr CommandDescriptor kSetGroupCarModel     = { 0x0236, "ii" };             // World::SetGroupCarModel
inline constexpr CommandDescriptor kLoadSpecialModel     = { 0x023C, "is" };             // Ped::LoadSpecialModel, SpecialPed::SpecialPed
inline constexpr CommandDescriptor kCommand0243          = { 0x0243, "vi" };             // Ped::Command0243
inline constexpr CommandDescriptor kRequestModel         = { 0x0247, "i" };              // WaitForModel
inline constexpr CommandDescriptor kIsModelAvailable     = { 0x0248, "i" };              // ScriptControl::IsModelAvailable
inline constexpr CommandDescriptor kCreateObject         = { 0x029B, "ifffv" };          // World::CreateObject
inline constexpr CommandDescriptor kSetCutsceneMode      = { 0x02A3, "i" };              // World::SetCutsceneMode
inline constexpr CommandDescriptor kPlaceMarkerAtPoint   = { 0x02A7, "fffiv" };          // RadarMarker::PlaceAtPoint
inline constexpr CommandDescriptor kCommand02AA          = { 0x02AA, "vi" };             // Car::Command02AA
inline constexpr CommandDescriptor kSetCarImmunities     = { 0x02AC, "viiiii" };         // Car::SetImmunities
inline constexpr CommandDescriptor kCommand02B3          = { 0x02B3, "vfffffffi" };      // Player::Command02B3
inline constexpr CommandDescriptor kDriveCarTo           = { 0x02C2, "vfff" };           // Car::DriveTo
inline constexpr CommandDescriptor kRestoreCamera        = { 0x02EB, "" };               // World::RestoreCamera
inline constexpr CommandDescriptor kCommand030C          = { 0x030C, "i" };              // World::Command030C
inline constexpr CommandDescriptor kCommand030D          = { 0x030D, "i" };              // World::Command030D
inline constexpr CommandDescriptor kCommand0319          = { 0x0319, "vi" };             // Ped::Command0319
inline constexpr CommandDescriptor kSetZoneGroup         = { 0x0324, "sii" };            // World::SetZoneGroup
inline constexpr CommandDescriptor kCommand0330          = { 0x0330, "vi" };             // Player::Command0330
inline constexpr CommandDescriptor kCommand034D          = { 0x034D, "vffi" };           // World::Command034D
inline constexpr CommandDescriptor kDeletePed            = { 0x034F, "v" };              // Ped::Delete, Ped::~Ped
inline constexpr CommandDescriptor kSetPlayerModel       = { 0x0352, "vs" };             // Player::SetModel
inline constexpr CommandDescriptor kApplyPlayerModel     = { 0x0353, "v" };              // Player::SetModel
inline constexpr CommandDescriptor kCommand035E          = { 0x035E, "vi" };             // Player::Command035E
inline constexpr CommandDescriptor kCommand0363          = { 0x0363, "ffffii" };         // World::Command0363
inline constexpr CommandDescriptor kAnimatePed           = { 0x0372, "vii" };            // Ped::Animate
inline constexpr CommandDescriptor kCommand0373          = { 0x0373, "" };               // World::Command0373
inline constexpr CommandDescriptor kLoadRequestedModels  = { 0x038B, "" };               // WaitForModel, Player::SetModel, Ped::LoadSpecialModel
inline constexpr CommandDescriptor kCommand0392          = { 0x0392, "vi" };             // World::Command0392
inline constexpr CommandDescriptor kCommand0394          = { 0x0394, "i" };              // World::Command0394
inline constexpr CommandDescriptor kCommand0395          = { 0x0395, "iffff" };          // World::Command0395
inline constexpr CommandDescriptor kCommand0397          = { 0x0397, "vi" };             // Car::Command0397
inline constexpr CommandDescriptor kSetScriptName        = { 0x03A4, "s" };              // ScriptControl::SetScriptName
inline constexpr CommandDescriptor kCommand03AD          = { 0x03AD, "i" };              // World::Command03AD
inline constexpr CommandDescriptor kCommand03B6          = { 0x03B6, "ffffii" };         // World::Command03B6
inline constexpr CommandDescriptor kCommand03C8          = { 0x03C8, "" };               // Player::Command03C8
inline constexpr CommandDescriptor kPrepareSceneAt       = { 0x03CB, "fff" };            // World::PrepareSceneAt
inline constexpr CommandDescriptor kCommand03E2          = { 0x03E2, "v" };              // Ped::Command03E2
inline constexpr CommandDescriptor kCommand03F3          = { 0x03F3, "vii" };            // Car::Command03F3
inline constexpr CommandDescriptor kCommand03F9          = { 0x03F9, "vvi" };            // Ped::Command03F9
inline constexpr CommandDescriptor kGetCarOffsetPoint    = { 0x0407, "vfffvvv" };        // Car::GetOffsetPoint
inline constexpr CommandDescriptor kCommand04BB          = { 0x04BB, "i" };              // World::Command04BB
inline constexpr CommandDescriptor kGetPlayerOffsetPoint = { 0x04C4, "vfffvvv" };        // Player::GetOffsetPoint
inline constexpr CommandDescriptor kPrepareAreaAt        = { 0x04E4, "ff" };             // World::PrepareAreaAt
inline constexpr CommandDescriptor kCommand04EB          = { 0x04EB, "vii" };            // Ped::Command04EB
inline constexpr CommandDescriptor kSetZoneInfoC         = { 0x04EC, "siiiiiiiiiiii" };  // World::SetZoneInfoC
inline constexpr CommandDescriptor kCommand04ED          = { 0x04ED, "s" };              // World::Command04ED
inline constexpr CommandDescriptor kCommand04EF          = { 0x04EF, "s" };              // World::Command04EF
inline constexpr CommandDescriptor kCommand04F9          = { 0x04F9, "ii" };             // World::Command04F9
inline constexpr CommandDescriptor kCommand04FA          = { 0x04FA, "i" };              // World::Command04FA
inline constexpr CommandDescriptor kCommand055D          = { 0x055D, "vi" };             // Player::Command055D
inline constexpr CommandDescriptor kCommand055E          = { 0x055E, "vi" };             // Player::Command055E
inline constexpr CommandDescriptor kCommand055F          = { 0x055F, "vi" };             // Player::Command055F
inline constexpr CommandDescriptor kCommand0566          = { 0x0566, "vi" };             // World::Command0566
// clang-format on

// Every row above, in the same order: for checking the catalogue as a whole.
extern const CommandDescriptor* const kCommandCatalogue[];
extern const size_t kCommandCatalogueCount;
