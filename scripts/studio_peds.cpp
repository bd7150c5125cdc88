// Ped slots and the model choice. The choice walks one ring: the numbered
// ped models 1 to 106 (without 4, 7 and 8), then the named positions 1 to 73,
// then model 1 again; Page Down walks it backwards.
#include "scripts/studio_peds.h"

#include "game/car.h"
#include "game/held_wrappers.h"
#include "game/ped.h"
#include "game/player.h"
#include "game/world.h"
#include "script/scheduler.h"
#include "scripts/named_models.h"
#include "scripts/ped_catalogue.h"
#include "scripts/studio_state.h"

static const int32_t kPedType = 4;
static const int32_t kLastNumberedModel = 106;

static Ped*& SlotPed(StudioState& studio, int place)
{
    return studio.pedSlots[place - 1];
}

static bool IsLastOfGroup(int place)
{
    return place == kPedPlaceCount || pedPlaces[place].group != pedPlaces[place - 1].group;
}

// Makes a ped of the model at the spot, facing the player. A named model is
// first loaded into the choice's special slot.
static Ped* MakePedAtSpot(StudioState& studio, int32_t model, const char* specialName)
{
    Ped* ped = new Ped(studio.thread, true);
    if (specialName != nullptr)
        ped->LoadSpecialModel(studio.specialSlot, specialName);
    WorkOutSpot(studio);
    ped->Create(kPedType, model, studio.spotX, studio.spotY, studio.spotZ);
    ped->Command020F(player->GetHandle());
    return ped;
}

static void ShowPreview(StudioState& studio, int place, bool named)
{
    if (named)
        Replace(studio.previewPed, MakePedAtSpot(studio, kSpecialModelBase + studio.specialSlot,
                                                 PlaceModelName(place, studio.specialIndex)));
    else
        Replace(studio.previewPed, MakePedAtSpot(studio, studio.chosenModel, nullptr));
}

// Steps the numbered cursor; true when the step leaves the numbered part for
// the named one. Models 4, 7 and 8 are not in the catalogue.
static bool StepNumbered(StudioState& studio, int place, bool up)
{
    if (up) {
        studio.chosenModel += 1;
        if (studio.chosenModel == 4)
            studio.chosenModel = 5;
        WaitMs(studio.thread, 0);
        if (studio.chosenModel == 7)
            studio.chosenModel = 9;
        if (studio.chosenModel <= kLastNumberedModel)
            return false;
        studio.chosenModel = 1;
        studio.specialIndex = 1;
    } else {
        studio.chosenModel -= 1;
        if (studio.chosenModel == 4)
            studio.chosenModel = 3;
        WaitMs(studio.thread, 0);
        if (studio.chosenModel == 8)
            studio.chosenModel = 6;
        if (studio.chosenModel >= 1)
            return false;
        studio.chosenModel = kLastNumberedModel;
        studio.specialIndex = kNamedModelCount;
    }
    studio.specialSlot = place;
    return true;
}

// Steps the named cursor over the positions this place has no name for, so
// that a preview always stands and Backspace never makes a ped from a slot
// left loaded by an earlier position. True while the step stays in the named
// part. The first and last positions always have a name.
static bool StepNamed(StudioState& studio, int place, bool up)
{
    WaitMs(studio.thread, 0);
    const int step = up ? 1 : -1;
    do
        studio.specialIndex += step;
    while (studio.specialIndex >= 1 && studio.specialIndex <= kNamedModelCount &&
           PlaceModelName(place, studio.specialIndex) == nullptr);
    if (studio.specialIndex > kNamedModelCount) {
        studio.specialIndex = 1;
        studio.chosenModel = 1;
        return false;
    }
    if (studio.specialIndex < 1) {
        studio.chosenModel = kLastNumberedModel;
        return false;
    }
    return true;
}

// The model choice for one place. It starts in the numbered part at the
// model the last choice showed there, and ends with the place's ped made.
static void ChooseModel(StudioState& studio, int place)
{
    bool named = false;
    for (;;) {
        ShowPreview(studio, place, named);
        const int key = WaitForBrowseKey(studio);
        if (key == kKeyBackspace)
            break;
        const bool up = key == kKeyPageUp;
        named = named ? StepNamed(studio, place, up) : StepNumbered(studio, place, up);
        studio.previewPed->Discard();
    }

    studio.previewPed->Discard();
    const int32_t model = named ? kSpecialModelBase + studio.specialSlot : studio.chosenModel;
    Replace(SlotPed(studio, place), MakePedAtSpot(studio, model, nullptr));
    if (place == 1) {
        if (named)
            world->Command018C(1, 0.0f, 0.0f, 0.0f);
        else
            world->Command018C(1, studio.spotX, studio.spotY, studio.spotZ);
    }
}

static void DeletePedsOf(StudioState& studio, int group)
{
    for (int place = 1; place <= kPedPlaceCount; ++place) {
        if (pedPlaces[place - 1].group == group)
            SlotPed(studio, place)->Delete();
    }
}

void CreateGroup(StudioState& studio, int group)
{
    DeletePedsOf(studio, group);
    for (int place = 1; place <= kPedPlaceCount; ++place) {
        if (pedPlaces[place - 1].group != group)
            continue;
        ChooseModel(studio, place);
        if (IsLastOfGroup(place))
            studio.groupCreated[group] = 1;
        Confirm(studio, pedPlaces[place - 1].confirmKey);
    }
}

void DeleteGroup(StudioState& studio, int group)
{
    DeletePedsOf(studio, group);
    studio.groupCreated[group] = 0;
}

void DeleteEverything(StudioState& studio)
{
    for (int place = 1; place <= kPedPlaceCount; ++place)
        SlotPed(studio, place)->Delete();
    studio.car1->Delete();
    studio.car2->Delete();
    for (int group = 1; group <= kPedGroupCount; ++group)
        studio.groupCreated[group] = 0;
    studio.car1Created = 0;
    studio.car2Created = 0;
}
