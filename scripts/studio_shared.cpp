// The operations every studio feature shares: the key test, the confirmation
// text, the hold step, the spot in front of the player and the browse keys.
#include "game/player.h"
#include "game/world.h"
#include "platform/platform.h"
#include "script/scheduler.h"
#include "scripts/studio_state.h"

static const int32_t kConfirmTextMs = 3000;
static const int32_t kConfirmTextStyle = 1;

bool KeyHeld(int virtualKey)
{
    return (PollKeyState(virtualKey) & 0x8000) != 0;
}

void Confirm(const StudioState& studio, const char* key)
{
    if (studio.textsOn == 1)
        world->ShowText(key, kConfirmTextMs, kConfirmTextStyle);
}

void HoldStep(const StudioState& studio)
{
    if (studio.clockFrozen == 1) {
        world->SetTimeOfDay(studio.clockHour, 0);
        world->HoldWeather(studio.weatherIndex);
    }
}

void WorkOutSpot(StudioState& studio)
{
    player->GetOffsetPoint(0.0f, 3.0f, 0.0f, &studio.spotX, &studio.spotY, &studio.spotZ);
}

// Each test gets a host step of its own, so the game runs on while the user
// browses; the hold step keeps a frozen clock in place meanwhile.
int WaitForBrowseKey(const StudioState& studio)
{
    for (;;) {
        WaitMs(studio.thread, 0);
        if (KeyHeld(kKeyPageUp))
            return kKeyPageUp;
        HoldStep(studio);
        WaitMs(studio.thread, 0);
        if (KeyHeld(kKeyPageDown))
            return kKeyPageDown;
        WaitMs(studio.thread, 0);
        if (KeyHeld(kKeyBackspace))
            return kKeyBackspace;
    }
}
