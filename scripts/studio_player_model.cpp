// The player's model choice: a preview ped in front of the player wears each
// named model in turn; Backspace gives the player the one on show, between
// two short fades.
#include "game/held_wrappers.h"
#include "game/ped.h"
#include "game/player.h"
#include "game/world.h"
#include "script/scheduler.h"
#include "scripts/named_models.h"
#include "scripts/studio_features.h"
#include "scripts/studio_state.h"

// The preview always uses special slot 1, whose models the host makes as 109.
static const int32_t kPreviewSlot = 1;
// Positions 25 and 26 have no name: the choice steps over them both ways.
static const int32_t kLastBeforeGap = 24;
static const int32_t kFirstAfterGap = 27;
// The one position whose preview and the player's own model differ.
static const int32_t kMercPosition = 31;
static const char kMercPlayerModel[] = "IGMERC3";
static const int32_t kFadeMs = 500;

static const char* PlayerModelName(int32_t position)
{
    if (position == kMercPosition)
        return kMercPlayerModel;
    return namedModels[position - 1];
}

static void ShowPreview(StudioState& studio)
{
    Replace(studio.previewPed, new Ped(studio.thread, true));
    studio.previewPed->LoadSpecialModel(studio.specialSlot, namedModels[studio.specialIndex - 1]);
    WorkOutSpot(studio);
    studio.previewPed->Create(4, kSpecialModelBase + studio.specialSlot, studio.spotX, studio.spotY, studio.spotZ);
    studio.previewPed->Command020F(player->GetHandle());
}

static void StepUp(StudioState& studio)
{
    WaitMs(studio.thread, 0);
    studio.specialIndex += 1;
    if (studio.specialIndex > kNamedModelCount) {
        studio.specialIndex = 1;
        return;
    }
    WaitMs(studio.thread, 0);
    if (studio.specialIndex > kLastBeforeGap && studio.specialIndex < kFirstAfterGap)
        studio.specialIndex = kFirstAfterGap;
}

static void StepDown(StudioState& studio)
{
    WaitMs(studio.thread, 0);
    studio.specialIndex -= 1;
    if (studio.specialIndex < 1) {
        studio.specialIndex = kNamedModelCount;
        return;
    }
    WaitMs(studio.thread, 0);
    if (studio.specialIndex > kLastBeforeGap && studio.specialIndex < kFirstAfterGap)
        studio.specialIndex = kLastBeforeGap;
}

void ChoosePlayerModel(StudioState& studio)
{
    // The choice always starts over at the first position.
    studio.specialSlot = kPreviewSlot;
    studio.specialIndex = 1;
    ShowPreview(studio);
    for (;;) {
        const int key = WaitForBrowseKey(studio);
        if (key == kKeyBackspace)
            break;
        if (key == kKeyPageUp)
            StepUp(studio);
        else
            StepDown(studio);
        studio.previewPed->Discard();
        ShowPreview(studio);
    }

    studio.previewPed->Discard();
    world->Fade(kFadeMs, 0);
    WaitMs(studio.thread, kFadeMs);
    player->SetModel(PlayerModelName(studio.specialIndex));
    world->Fade(kFadeMs, 1);
    WaitMs(studio.thread, kFadeMs);
}
