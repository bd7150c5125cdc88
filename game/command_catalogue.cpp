// The catalogue as a whole: every descriptor once, in ascending order of id,
// checked at compile time so that no command appears twice or out of place.
#include "game/command_catalogue.h"

// clang-format off
constexpr const CommandDescriptor* kCommandCatalogue[] = {
    &kWait, &kCommand004E, &kCreatePlayer, &kCommand0055, &kCreatePed, &kDiscardPed, &kCommand009C,
    &kCreateCar, &kDeleteCar, &kSetPsychoDriving, &kSetNormalDriving, &kSetCarSpeed, &kCommand00AE,
    &kSetCarBehaviour, &kShowTitleText, &kShowText, &kCommand00BE, &kSetTimeOfDay, &kStartScript,
    &kCommand00F5, &kIsPlayerWithinRange, &kCommand00FE, &kCommand0109, &kCommand010D, &kCommand0110,
    &kCommand0111, &kCommand0118, &kCommand011A, &kCommand011C, &kCreatePed0129, &kCreateCarGenerator,
    &kSetCarGeneratorValue, &kSetZoneInfoB, &kCommand0158, &kCommand0159, &kSetZoneInfoA,
    &kSetFixedCamera, &kPointCameraAt, &kPlaceMarker0161, &kPlaceMarker0162, &kRemoveMarker,
    &kCommand0165, &kCommand0168, &kFadeColour, &kFade, &kIsFading, &kCommand016C, &kCommand016D,
    &kSetPlayerHeading, &kSetPedHeading, &kSetCarHeading, &kCommand0177, &kCommand018C, &kCommand01AF,
    &kCommand01B1, &kCommand01B2, &kSetPlayerControls, &kHoldWeather, &kSetWeather, &kReleasePed,
    &kReleaseCar, &kCreatePed01C8, &kCommand01C9, &kCommand01CA, &kCommand01D2, &kCommand01D4,
    &kCommand01D5, &kCommand01DF, &kCommand01E3, &kShowNumberText, &kCommand01E8, &kCommand01ED,
    &kCommand01F0, &kGetCharacterHandle, &kCommand020A, &kCommand020F, &kCommand0222, &kCommand0227,
    &kCommand0229, &kCommand022A, &kCommand022B, &kSetGroupPedModels, &kSetGroupCarModel,
    &kLoadSpecialModel, &kCommand0243, &kRequestModel, &kIsModelAvailable, &kCreateObject,
    &kSetCutsceneMode, &kPlaceMarkerAtPoint, &kCommand02AA, &kSetCarImmunities, &kCommand02B3,
    &kDriveCarTo, &kRestoreCamera, &kCommand030C, &kCommand030D, &kCommand0319, &kSetZoneGroup,
    &kCommand0330, &kCommand034D, &kDeletePed, &kSetPlayerModel, &kApplyPlayerModel, &kCommand035E,
    &kCommand0363, &kAnimatePed, &kCommand0373, &kLoadRequestedModels, &kCommand0392, &kCommand0394,
    &kCommand0395, &kCommand0397, &kSetScriptName, &kCommand03AD, &kCommand03B6, &kCommand03C8,
    &kPrepareSceneAt, &kCommand03E2, &kCommand03F3, &kCommand03F9, &kGetCarOffsetPoint, &kCommand04BB,
    &kGetPlayerOffsetPoint, &kPrepareAreaAt, &kCommand04EB, &kSetZoneInfoC, &kCommand04ED,
    &kCommand04EF, &kCommand04F9, &kCommand04FA, &kCommand055D, &kCommand055E, &kCommand055F,
    &kCommand0566,
};
// clang-format on

const size_t kCommandCatalogueCount = sizeof kCommandCatalogue / sizeof kCommandCatalogue[0];

static constexpr bool IdsStrictlyAscend()
{
    for (size_t row = 1; row < sizeof kCommandCatalogue / sizeof kCommandCatalogue[0]; ++row)
        if (kCommandCatalogue[row - 1]->id >= kCommandCatalogue[row]->id)
            return false;
    return true;
}

static_assert(IdsStrictlyAscend(), "one row per command, in ascending order of id");
static_assert(sizeof kCommandCatalogue / sizeof kCommandCatalogue[0] == 135, "the module sends 135 commands");
