// The welcome thread: the greeting cut-scene, then the start point on the
// radar; the player's arrival there opens the studio.
#include "scripts/welcome_thread.h"

#include "game/car.h"
#include "game/held_wrappers.h"
#include "game/player.h"
#include "game/radar_marker.h"
#include "game/world.h"
#include "script/scheduler.h"
#include "scripts/studio_thread.h"

StartMarkerState startMarker = { 1, 0 };

void ArmStartMarker()
{
    startMarker.armed.fetch_add(1);
}

static const int32_t kStartMarkerKind = 2;
// The car parked beside the start point.
static const int32_t kParkedCarModel = 191;
static const float kParkedCarX = 1002.78f;
static const float kParkedCarY = -461.67f;
static const float kParkedCarZ = 55.74f;
static const float kParkedCarHeading = 90.0f;

static const int32_t kTextStyle = 1;
static const int32_t kTitleStyle = 2;
// Each text stays up 100 ms less than the wait after it.
static const int32_t kWelcome1Ms = 5000;
static const int32_t kWelcome2Ms = 8000;
static const int32_t kTextGapMs = 100;
static const int32_t kFadeMs = 1000;
static const int32_t kCheckEveryMs = 100;

static void PlayCutscene(ScriptThread* self)
{
    Car* parkedCar = new Car(self, kParkedCarModel, kParkedCarX, kParkedCarY, kParkedCarZ, false);
    Keep(parkedCar);  // never deleted: it stays beside the start point
    parkedCar->SetHeading(kParkedCarHeading);
    world->ShowTitleText("!WELC_0", 4000, kTitleStyle);
    player->SetControlsLocked(true);
    world->Fade(0, 0);
    WaitWhileFading(self, 0);
    world->SetCutsceneMode(true);
    world->Fade(kFadeMs, 1);
    world->ShowText("!WELC_1", kWelcome1Ms, kTextStyle);
    WaitMs(self, kWelcome1Ms + kTextGapMs);
    world->ShowText("!WELC_2", kWelcome2Ms, kTextStyle);
    WaitMs(self, kWelcome2Ms + kTextGapMs);
    world->Fade(kFadeMs, 0);
    WaitWhileFading(self, 0);
    world->SetCutsceneMode(false);
    world->RestoreCamera();
    world->Fade(kFadeMs, 1);
    WaitWhileFading(self, 0);
    player->SetControlsLocked(false);
}

void WelcomeThread(ScriptThread* self)
{
    WaitForFirstTurn(self);
    PlayCutscene(self);

    // The marker stands while the thread watches for the player: no marker
    // is the idle phase, waiting for the start point to be armed.
    RadarMarker* marker = nullptr;
    for (;;) {
        WaitMs(self, kCheckEveryMs);
        if (marker == nullptr) {
            const uint32_t armed = startMarker.armed.load();
            if (armed != startMarker.placedFor.load()) {
                marker = new RadarMarker();
                marker->PlaceAtPoint(kStartPointX, kStartPointY, kStartPointZ, kStartMarkerKind);
                // Only once placed: a dismissed thread ends in the command.
                startMarker.placedFor.store(armed);
            }
        } else if (player->IsWithinRange(kStartPointX, kStartPointY, kStartPointZ, 1.5f, 2.0f, 2.0f, 0)) {
            delete marker;  // takes it off the radar
            marker = nullptr;
            SpawnScriptThread(StudioThread);
        }
    }
}
