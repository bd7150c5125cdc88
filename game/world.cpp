// World commands: one CallCommand each, but Fade, which sets the colour first.
#include "game/world.h"

#include "game/command_catalogue.h"
#include "script/scheduler.h"

World* world = nullptr;

// Only the boot data's records hold a handle, written back by the host; they
// start at 0 so that the value sent with the creating command is a known one.
World::World()
    : objectHandle(0)
    , generatorHandle(0)
{
}

void World::Fade(int32_t durationMs, int32_t direction)
{
    CallCommand(kFadeColour, 0, 0, 0);  // always black
    CallCommand(kFade, durationMs, direction);
}

bool World::IsFading()
{
    return CallCommand(kIsFading) != 0;
}

void World::ShowTitleText(const char* key, int32_t timeMs, int32_t style)
{
    CallCommand(kShowTitleText, key, timeMs, style);
}

void World::ShowText(const char* key, int32_t timeMs, int32_t style)
{
    CallCommand(kShowText, key, timeMs, style);
}

void World::ShowNumberText(const char* key, int32_t number, int32_t timeMs, int32_t style)
{
    CallCommand(kShowNumberText, key, number, timeMs, style);
}

void World::SetTimeOfDay(int32_t hours, int32_t minutes)
{
    CallCommand(kSetTimeOfDay, hours, minutes);
}

void World::SetWeather(int32_t weather)
{
    CallCommand(kSetWeather, weather);
}

void World::HoldWeather(int32_t weather)
{
    CallCommand(kHoldWeather, weather);
}

void World::SetCutsceneMode(int32_t on)
{
    CallCommand(kSetCutsceneMode, on & 0xFF);
}

void World::SetFixedCamera(float x, float y, float z, float ax, float ay, float az)
{
    CallCommand(kSetFixedCamera, x, y, z, ax, ay, az);
}

void World::PointCameraAt(float x, float y, float z, int32_t mode)
{
    CallCommand(kPointCameraAt, x, y, z, mode);
}

void World::RestoreCamera()
{
    CallCommand(kRestoreCamera);
}

void World::Command0373()
{
    CallCommand(kCommand0373);
}

void World::PrepareAreaAt(float x, float y)
{
    CallCommand(kPrepareAreaAt, x, y);
}

void World::PrepareSceneAt(float x, float y, float z)
{
    CallCommand(kPrepareSceneAt, x, y, z);
}

void World::Command04ED(const char* name)
{
    CallCommand(kCommand04ED, name);
}

void World::Command018C(int32_t value, float x, float y, float z)
{
    CallCommand(kCommand018C, value, x, y, z);
}

void World::SetZoneInfoA(const char* zone, int32_t isDay, int32_t a1, int32_t a2, int32_t a3, int32_t a4, int32_t a5,
                         int32_t a6, int32_t a7, int32_t a8, int32_t a9, int32_t a10, int32_t a11)
{
    CallCommand(kSetZoneInfoA, zone, isDay, a1, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11);
}

void World::SetZoneInfoB(const char* zone, int32_t isDay, int32_t a1, int32_t a2, int32_t a3, int32_t a4, int32_t a5,
                         int32_t a6, int32_t a7, int32_t a8, int32_t a9, int32_t a10, int32_t a11)
{
    CallCommand(kSetZoneInfoB, zone, isDay, a1, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11);
}

void World::SetZoneInfoC(const char* zone, int32_t isDay, int32_t a1, int32_t a2, int32_t a3, int32_t a4, int32_t a5,
                         int32_t a6, int32_t a7, int32_t a8, int32_t a9, int32_t a10, int32_t a11)
{
    CallCommand(kSetZoneInfoC, zone, isDay, a1, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11);
}

void World::SetZoneGroup(const char* zone, int32_t isDay, int32_t group)
{
    CallCommand(kSetZoneGroup, zone, isDay, group);
}

void World::Command01E8(float x1, float y1, float z1, float x2, float y2, float z2)
{
    CallCommand(kCommand01E8, x1, y1, z1, x2, y2, z2);
}

void World::Command022B(float x1, float y1, float z1, float x2, float y2, float z2)
{
    CallCommand(kCommand022B, x1, y1, z1, x2, y2, z2);
}

void World::CreateObject(int32_t model, float x, float y, float z)
{
    CallCommand(kCreateObject, model, x, y, z, &objectHandle);
}

void World::CreateCarGenerator(float x, float y, float z, float heading, int32_t model, int32_t b1, int32_t b2,
                               int32_t b3, int32_t b4, int32_t b5, int32_t b6, int32_t b7)
{
    CallCommand(kCreateCarGenerator, x, y, z, heading, model, b1, b2, b3, b4, b5, b6, b7, &generatorHandle);
}

bool World::SetCarGeneratorValue(int32_t value)
{
    return CallCommand(kSetCarGeneratorValue, &generatorHandle, value) != 0;
}

void World::Command0363(float x, float y, float z, float radius, int32_t model, int32_t value)
{
    CallCommand(kCommand0363, x, y, z, radius, model, value);
}

void World::Command03B6(float x, float y, float z, float radius, int32_t model, int32_t otherModel)
{
    CallCommand(kCommand03B6, x, y, z, radius, model, otherModel);
}

void World::SetGroupPedModels(int32_t group, int32_t model1, int32_t model2)
{
    CallCommand(kSetGroupPedModels, group, model1, model2);
}

void World::SetGroupCarModel(int32_t group, int32_t model)
{
    CallCommand(kSetGroupCarModel, group, model);
}

bool World::Command016C(float x, float y, float z, float angle)
{
    return CallCommand(kCommand016C, x, y, z, angle) != 0;
}

void World::Command016D(float x, float y, float z, float angle)
{
    CallCommand(kCommand016D, x, y, z, angle);
}

void World::Command01F0(int32_t value)
{
    CallCommand(kCommand01F0, value);
}

void World::Command0111(int32_t flag)
{
    CallCommand(kCommand0111, flag & 0xFF);
}

void World::Command04BB(int32_t value)
{
    CallCommand(kCommand04BB, value);
}

bool World::Command0394(int32_t value)
{
    return CallCommand(kCommand0394, value) != 0;
}

bool World::Command01E3(const char* key, int32_t number, int32_t timeMs, int32_t style)
{
    return CallCommand(kCommand01E3, key, number, timeMs, style) != 0;
}

bool World::Command0158(int32_t* target)
{
    return CallCommand(kCommand0158, target, 15, 2) != 0;
}

bool World::Command0159(int32_t* target)
{
    return CallCommand(kCommand0159, target, 15, 2) != 0;
}

bool World::Command00BE()
{
    return CallCommand(kCommand00BE) != 0;
}

bool World::Command022A(float x1, float y1, float z1, float x2, float y2, float z2)
{
    return CallCommand(kCommand022A, x1, y1, z1, x2, y2, z2) != 0;
}

bool World::Command04F9(int32_t a, int32_t b)
{
    return CallCommand(kCommand04F9, a, b) != 0;
}

bool World::Command04FA(int32_t value)
{
    return CallCommand(kCommand04FA, value) != 0;
}

bool World::Command0395(int32_t value, float x, float y, float z, float radius)
{
    return CallCommand(kCommand0395, value, x, y, z, radius) != 0;
}

bool World::Command03AD(int32_t value)
{
    return CallCommand(kCommand03AD, value) != 0;
}

bool World::Command030D(int32_t value)
{
    return CallCommand(kCommand030D, value) != 0;
}

bool World::Command030C(int32_t value)
{
    return CallCommand(kCommand030C, value) != 0;
}

bool World::Command034D(float a, float b, int32_t value)
{
    return CallCommand(kCommand034D, &objectHandle, a, b, value) != 0;
}

bool World::Command0177(float angle)
{
    return CallCommand(kCommand0177, &objectHandle, angle) != 0;
}

bool World::Command0566(int32_t value)
{
    return CallCommand(kCommand0566, &objectHandle, value) != 0;
}

bool World::Command0392(int32_t value)
{
    return CallCommand(kCommand0392, &objectHandle, value) != 0;
}

bool World::Command04EF(const char* name)
{
    return CallCommand(kCommand04EF, name) != 0;
}

void WaitWhileFading(ScriptThread* self, int32_t pollMs)
{
    while (world->IsFading())
        WaitMs(self, pollMs);
}
