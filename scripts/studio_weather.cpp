// The studio's weather key: each press sets the next of the six weathers.
// A frozen clock holds whichever weather was set last.
#include "game/world.h"
#include "scripts/studio_features.h"
#include "scripts/studio_state.h"

// Confirmation text of each weather number, in host order.
// clang-format off
static const char* const kWeatherTexts[] = {
    "!WEAT0",  // 0 sunny
    "!WEAT1",  // 1 cloudy
    "!WEAT2",  // 2 rainy
    "!WEAT3",  // 3 foggy
    "!WEAT4",  // 4 extra sunny
    "!WEAT5",  // 5 rainy 2
};
// clang-format on
static const int kWeatherCount = sizeof kWeatherTexts / sizeof kWeatherTexts[0];
static_assert(kWeatherCount == 6, "six host weathers");

void NextWeather(StudioState& studio)
{
    studio.weatherIndex = (studio.weatherIndex + 1) % kWeatherCount;
    world->SetWeather(studio.weatherIndex);
    Confirm(studio, kWeatherTexts[studio.weatherIndex]);
}
