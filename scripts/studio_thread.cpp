// The studio thread: its set-up with the skippable mini-tutorial, then the
// main loop, one pass of the key map every 250 ms.
#include "scripts/studio_thread.h"

#include "game/car.h"
#include "game/held_wrappers.h"
#include "game/ped.h"
#include "game/player.h"
#include "game/world.h"
#include "script/scheduler.h"
#include "scripts/studio_cars.h"
#include "scripts/studio_features.h"
#include "scripts/studio_key_map.h"
#include "scripts/studio_peds.h"
#include "scripts/studio_state.h"
#include "scripts/welcome_thread.h"

static const int32_t kPedType = 4;
static const int32_t kPlaceholderModel = 1;  // ped model of the set-up's placeholders
static const int32_t kPlaceholderCarModel = 135;
static const int32_t kTextStyle = 1;
static const int32_t kFadeMs = 1000;
static const int32_t kPassMs = 250;

// Where the tutorial is filmed.
static const float kTutorialX = 1012.29f;
static const float kTutorialY = -255.14f;
static const float kTutorialZ = 55.78f;
static const float kTutorialCarX = 1010.2f;
static const float kTutorialCarY = -257.14f;
static const float kTutorialCarZ = 55.78f;

// The car speeds by step, from step 1; step 0 means never set.
static const float kCarSpeeds[] = { 0.0f, 5.0f, 10.0f, 15.0f, 20.0f, 30.0f, 50.0f };
static_assert(sizeof kCarSpeeds / sizeof kCarSpeeds[0] == kCarSpeedSteps + 1, "one speed per step");
// Every wrapper the studio holds is in the held table, one more while a newer
// one replaces it, beside the welcome thread's parked car.
static_assert(kPedPlaceCount + 4 + 1 + 1 <= kHeldWrapperCapacity, "the held table has room for the studio");

static void ResetStudio(StudioState& studio, ScriptThread* self)
{
    studio = StudioState {};
    studio.chosenModel = 1;
    studio.carModelA = 130;
    studio.carModelB = 185;
    studio.specialIndex = 1;
    for (int step = 0; step <= kCarSpeedSteps; ++step)
        studio.carSpeeds[step] = kCarSpeeds[step];
    studio.parkingSpot[0] = 350.0f;
    studio.parkingSpot[1] = -527.0f;
    studio.parkingSpot[2] = 10.0f;
    studio.thread = self;
}

static Ped* MakePed(StudioState& studio, int32_t model, float x, float y, float z)
{
    Ped* ped = new Ped(studio.thread, true);
    ped->Create(kPedType, model, x, y, z);
    return ped;
}

static Ped* MakeParkedPed(StudioState& studio)
{
    const float* at = studio.parkingSpot;
    return MakePed(studio, kPlaceholderModel, at[0], at[1], at[2]);
}

static Car* MakeParkedCar(StudioState& studio)
{
    const float* at = studio.parkingSpot;
    return new Car(studio.thread, kPlaceholderCarModel, at[0], at[1], at[2], true);
}

// The tutorial's ped and car replace the one before them at its spot.
static void NextTutorialPed(StudioState& studio, int32_t model)
{
    studio.previewPed->Discard();
    Replace(studio.previewPed, MakePed(studio, model, kTutorialX, kTutorialY, kTutorialZ));
}

static void MakeTutorialCar(StudioState& studio, int32_t model)
{
    Replace(studio.previewCar, new Car(studio.thread, model, kTutorialCarX, kTutorialCarY, kTutorialCarZ, true));
}

static void NextTutorialCar(StudioState& studio, int32_t model)
{
    studio.previewCar->Delete();
    MakeTutorialCar(studio, model);
}

// Steps 1 to 11: the models the studio needs are warmed up, then the first
// tutorial shot fades in.
static void OpenStudio(StudioState& studio)
{
    ScriptThread* self = studio.thread;
    world->Command04ED("STRIP");
    world->Command04ED("RIOT");
    Replace(studio.previewCar, MakeParkedCar(studio));
    Replace(studio.previewPed, MakeParkedPed(studio));
    WaitMs(self, 500);
    studio.previewPed->Discard();
    studio.previewCar->Delete();

    world->ShowTitleText("!TITLE", 4000, 2);
    player->SetControlsLocked(true);
    world->Fade(kFadeMs, 0);
    WaitWhileFading(self, 0);
    Replace(studio.previewPed, MakePed(studio, 1, kTutorialX, kTutorialY, kTutorialZ));
    studio.previewPed->SetHeading(20.0f);
    world->PrepareSceneAt(kTutorialX, kTutorialY, kTutorialZ);
    world->SetFixedCamera(1011.2f, -252.14f, 55.78f, 0.0f, 0.0f, 0.0f);
    world->PointCameraAt(1011.2f, -258.14f, 55.78f, 2);
    world->SetCutsceneMode(true);
    WaitMs(self, 1000);
    world->Fade(kFadeMs, 1);
    WaitWhileFading(self, 0);
    world->ShowText("!WELC_3", 3000, kTextStyle);
}

// The mini-tutorial: before each of its five parts, Space held skips the rest.
static void PlayTutorial(StudioState& studio)
{
    ScriptThread* self = studio.thread;

    if (KeyHeld(kKeySpace))
        return;
    WaitMs(self, 3100);
    world->ShowText("!CAUGHT", 6500, kTextStyle);  // how to start a creation

    if (KeyHeld(kKeySpace))
        return;
    WaitMs(self, 3000);
    NextTutorialPed(studio, 2);
    WaitMs(self, 2000);
    NextTutorialPed(studio, 3);
    WaitMs(self, 2000);
    NextTutorialPed(studio, 5);
    world->ShowText("!TAKEN", 6500, kTextStyle);  // how to choose
    WaitMs(self, 500);

    if (KeyHeld(kKeySpace))
        return;
    MakeTutorialCar(studio, 206);  // the set-up's first car is gone already
    WaitMs(self, 3000);
    NextTutorialCar(studio, 207);
    WaitMs(self, 1000);
    NextTutorialCar(studio, 132);
    WaitMs(self, 1000);
    NextTutorialCar(studio, 210);
    world->ShowText("!GETEM", 5000, kTextStyle);  // how to delete
    WaitMs(self, 1500);

    if (KeyHeld(kKeySpace))
        return;
    NextTutorialCar(studio, 191);
    WaitMs(self, 1000);
    NextTutorialCar(studio, 192);
    WaitMs(self, 1000);
    NextTutorialCar(studio, 193);
    studio.previewPed->Delete();
    WaitMs(self, 1500);
    world->ShowText("!GETEM2", 10000, kTextStyle);  // how to animate
    Replace(studio.previewPed, MakePed(studio, 11, kTutorialX, kTutorialY, kTutorialZ));
    WaitMs(self, 500);

    if (KeyHeld(kKeySpace))
        return;
    WaitMs(self, 1000);
    studio.previewPed->Command01D5(studio.previewCar->GetHandle());
    WaitMs(self, 7000);
    studio.previewCar->SetSpeed(30.0f);
    studio.previewCar->DriveTo(studio.parkingSpot[0], studio.parkingSpot[1], studio.parkingSpot[2]);
    WaitMs(self, 2000);
}

// Steps 17 to 23: back to the player, and a placeholder in every slot, so
// that the deletions of the key map may be sent for any slot at any time.
static void CloseSetUp(StudioState& studio)
{
    ScriptThread* self = studio.thread;
    world->Fade(kFadeMs, 0);
    WaitWhileFading(self, 500);
    player->SetHeading(270.0f);
    world->RestoreCamera();
    world->Command0373();
    world->SetCutsceneMode(false);
    world->Fade(kFadeMs, 1);
    WaitWhileFading(self, 0);
    world->SetFixedCamera(kStartPointX, kStartPointY, kStartPointZ + 2.0f, 0.0f, 0.0f, 0.0f);
    WaitMs(self, 500);
    studio.previewPed->Discard();
    studio.previewCar->Delete();
    world->ShowText("!SENTI", 5000, kTextStyle);  // create before animating
    world->RestoreCamera();
    world->Command0373();
    player->SetControlsLocked(false);

    for (Ped*& slot : studio.pedSlots)
        Replace(slot, MakeParkedPed(studio));
    for (Ped* slot : studio.pedSlots)
        slot->Discard();
    Replace(studio.car1, MakeParkedCar(studio));
    Replace(studio.car2, MakeParkedCar(studio));
    studio.car1->Delete();
    studio.car2->Delete();
}

static void RunFeature(StudioState& studio, const MainLoopRow& row)
{
    // clang-format off
    switch (row.feature) {
    case kFeatureClockMode:        RunClockMode(studio); break;
    case kFeatureTextsOn:          TextsOn(studio); break;
    case kFeatureTextsOff:         TextsOff(studio); break;
    case kFeatureUnfreezeClock:    UnfreezeClock(studio); break;
    case kFeatureCreateGroup:      CreateGroup(studio, row.argument); break;
    case kFeatureDeleteGroup:      DeleteGroup(studio, row.argument); break;
    case kFeatureCreateCar:        CreateCar(studio, static_cast<CarCatalogueId>(row.argument)); break;
    case kFeatureDeleteCar:        DeleteCar(studio, row.argument); break;
    case kFeaturePlayerModel:      ChoosePlayerModel(studio); break;
    case kFeatureDeleteEverything: DeleteEverything(studio); break;
    case kFeatureNextWeather:      NextWeather(studio); break;
    }
    // clang-format on
}

// One pass of the main loop: the key map in its order (scripts/studio_key_map.h).
// The first row found held runs its feature and ends the pass, but for the
// two text switches.
static void RunPass(StudioState& studio)
{
    WaitMs(studio.thread, kPassMs);
    for (const MainLoopRow& row : kMainLoopRows) {
        if (row.test == kTestAfterStep)
            WaitMs(studio.thread, 0);
        if (KeyHeld(row.keys[0]) && KeyHeld(row.keys[1])) {
            RunFeature(studio, row);
            if (row.end == kEndsPass)
                return;
        }
        if (row.then == kHoldStepThen)
            HoldStep(studio);
    }
    // The modifier rows, with the hold step after the first of them.
    RunModifierChain(studio);
}

void StudioThread(ScriptThread* self)
{
    WaitForFirstTurn(self);
    StudioState studio;
    ResetStudio(studio, self);
    OpenStudio(studio);
    PlayTutorial(studio);
    CloseSetUp(studio);
    for (;;)
        RunPass(studio);
}
