// The studio's clock mode, the unfreeze, and the switch for confirmation
// texts. A confirmed hour is always a frozen hour; the hold step keeps it.
#include "game/world.h"
#include "script/scheduler.h"
#include "scripts/studio_features.h"
#include "scripts/studio_state.h"

static const int kHoursPerDay = 24;
static const int32_t kHourShownMs = 50;  // short: each step of the hour shows it anew

// Every key test of the mode gets a host step of its own, so the game runs on
// while the user picks the hour.
static bool HeldAfterStep(StudioState& studio, int virtualKey)
{
    WaitMs(studio.thread, 0);
    return KeyHeld(virtualKey);
}

// The clock follows the chosen hour at once, and the host's own "NUMBER"
// text shows it.
static void ShowHour(StudioState& studio)
{
    world->SetTimeOfDay(studio.clockHour, 0);
    world->ShowNumberText("NUMBER", studio.clockHour, kHourShownMs, 2);
}

void RunClockMode(StudioState& studio)
{
    for (;;) {
        if (HeldAfterStep(studio, kKeyPageUp)) {
            WaitMs(studio.thread, 0);
            studio.clockHour = (studio.clockHour + 1) % kHoursPerDay;
            ShowHour(studio);
        } else if (HeldAfterStep(studio, kKeyPageDown)) {
            WaitMs(studio.thread, 0);
            studio.clockHour = (studio.clockHour + kHoursPerDay - 1) % kHoursPerDay;
            ShowHour(studio);
        } else if (HeldAfterStep(studio, kKeyBackspace)) {
            break;
        }
    }

    world->SetTimeOfDay(studio.clockHour, 0);
    // A second clock mode while frozen only moves the frozen hour.
    if (studio.clockFrozen == 1)
        return;
    studio.clockFrozen = 1;
    world->SetTimeOfDay(studio.clockHour, 0);
    world->HoldWeather(studio.weatherIndex);
    Confirm(studio, "!TMEFON");
}

// Sent whether or not the clock was frozen.
void UnfreezeClock(StudioState& studio)
{
    studio.clockFrozen = 0;
    world->SetWeather(studio.weatherIndex);
    world->SetTimeOfDay(studio.clockHour, 0);
    Confirm(studio, "!TMEFOF");
}

// The switch's own texts are shown whatever textsOn held before.
void TextsOn(StudioState& studio)
{
    studio.textsOn = 1;
    world->ShowText("!GMTXON", 3000, 1);
}

void TextsOff(StudioState& studio)
{
    studio.textsOn = 0;
    world->ShowText("!GMTXOF", 3000, 1);
}
