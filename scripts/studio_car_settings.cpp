// Car settings: with Home (Car 1) or End (Car 2) held, a letter sets the
// car's driving style, speed, immunities or behaviour. The speed step belongs
// to the slot and survives the car's deletion.
#include "scripts/studio_car_settings.h"

#include "game/car.h"
#include "scripts/studio_state.h"

enum CarSetting {
    kNormalDriving,
    kPsychoDriving,
    kSpeedUp,
    kSpeedDown,
    kImmunities,  // value: all five immunities on (1) or off (0)
    kBehaviour,   // value: the behaviour code
};

struct CarSettingKey {
    int key;
    CarSetting setting;
    int32_t value;
    const char* texts[2];  // confirmation for Car 1, Car 2; none for the speed keys and Space
};

// clang-format off
static const CarSettingKey kCarSettingKeys[] = {
    // key        setting          value   Car 1       Car 2
    { 'Q',        kNormalDriving,  0,    { "!DVNOR1",  "!DVNOR2" } },
    { 'W',        kPsychoDriving,  0,    { "!DVPSY1",  "!DVPSY2" } },
    { 'E',        kSpeedUp,        0,    { nullptr,    nullptr   } },
    { 'R',        kSpeedDown,      0,    { nullptr,    nullptr   } },
    { 'T',        kImmunities,     1,    { "!IMM1ON",  "!IMM2ON" } },
    { 'Y',        kImmunities,     0,    { "!IMM1OF",  "!IMM2OF" } },
    { 'U',        kBehaviour,      1,    { "!C1BVR1",  "!C2BVR1" } },
    { 'I',        kBehaviour,      2,    { "!C1BVR2",  "!C2BVR2" } },
    { 'O',        kBehaviour,      4,    { "!C1BVR3",  "!C2BVR3" } },
    { 'P',        kBehaviour,      8,    { "!C1BVR4",  "!C2BVR4" } },
    { kKeySpace,  kBehaviour,      0,    { nullptr,    nullptr   } },
};
// clang-format on
static_assert(sizeof kCarSettingKeys / sizeof kCarSettingKeys[0] == 11, "eleven car keys");

// The speed confirmations, by car and step 1 to 6.
static const char* const kSpeedTexts[2][kCarSpeedSteps] = {
    { "!C1SPD1", "!C1SPD2", "!C1SPD3", "!C1SPD4", "!C1SPD5", "!C1SPD6" },
    { "!C2SPD1", "!C2SPD2", "!C2SPD3", "!C2SPD4", "!C2SPD5", "!C2SPD6" },
};

// Step 0 means no speed was ever sent, so there is nothing to step down
// from: R then sends nothing and shows nothing.
static void StepSpeed(StudioState& studio, CarNumber carNumber, Car* car, CarSetting setting)
{
    int32_t& step = carNumber == kCarOne ? studio.car1SpeedStep : studio.car2SpeedStep;
    if (setting == kSpeedUp) {
        if (step < kCarSpeedSteps)
            step += 1;
    } else {
        if (step == 0)
            return;
        if (step > 1)
            step -= 1;
    }
    car->SetSpeed(studio.carSpeeds[step]);
    Confirm(studio, kSpeedTexts[carNumber - 1][step - 1]);
}

static void SendCarSetting(StudioState& studio, CarNumber carNumber, const CarSettingKey& row)
{
    Car* car = carNumber == kCarOne ? studio.car1 : studio.car2;
    switch (row.setting) {
    case kNormalDriving:
        car->SetNormalDriving();
        break;
    case kPsychoDriving:
        car->SetPsychoDriving();
        break;
    case kSpeedUp:
    case kSpeedDown:
        StepSpeed(studio, carNumber, car, row.setting);
        return;
    case kImmunities:
        car->SetImmunities(row.value, row.value, row.value, row.value, row.value);
        break;
    case kBehaviour:
        car->SetBehaviour(row.value);
        break;
    }
    const char* text = row.texts[carNumber - 1];
    if (text != nullptr)
        Confirm(studio, text);
}

bool RunCarSettingKeys(StudioState& studio, CarNumber car)
{
    for (const CarSettingKey& row : kCarSettingKeys) {
        if (KeyHeld(row.key)) {
            SendCarSetting(studio, car, row);
            return true;
        }
    }
    return false;
}
