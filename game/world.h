// Commands about the game world as a whole: texts, fades, clock, weather,
// camera, zones, areas, placed objects, car generators and group models.
// One World sends every world-wide command; further records each keep the
// one handle that their creating command wrote back.
#pragma once

#include <cstdint>

struct World {
    int32_t objectHandle;     // an object placed with CreateObject
    int32_t generatorHandle;  // a car generator made with CreateCarGenerator

    World();

    // Fades between the picture and black: direction 1 towards the picture,
    // 0 towards black.
    void Fade(int32_t durationMs, int32_t direction);
    bool IsFading();
    void ShowTitleText(const char* key, int32_t timeMs, int32_t style);
    void ShowText(const char* key, int32_t timeMs, int32_t style);
    void ShowNumberText(const char* key, int32_t number, int32_t timeMs, int32_t style);
    void SetTimeOfDay(int32_t hours, int32_t minutes);
    void SetWeather(int32_t weather);
    void HoldWeather(int32_t weather);
    void SetCutsceneMode(int32_t on);  // byte
    void SetFixedCamera(float x, float y, float z, float ax, float ay, float az);
    void PointCameraAt(float x, float y, float z, int32_t mode);
    void RestoreCamera();
    void Command0373();
    void PrepareAreaAt(float x, float y);
    void PrepareSceneAt(float x, float y, float z);
    void Command04ED(const char* name);
    void Command018C(int32_t value, float x, float y, float z);
    void SetZoneInfoA(const char* zone, int32_t isDay, int32_t a1, int32_t a2, int32_t a3, int32_t a4, int32_t a5,
                      int32_t a6, int32_t a7, int32_t a8, int32_t a9, int32_t a10, int32_t a11);
    void SetZoneInfoB(const char* zone, int32_t isDay, int32_t a1, int32_t a2, int32_t a3, int32_t a4, int32_t a5,
                      int32_t a6, int32_t a7, int32_t a8, int32_t a9, int32_t a10, int32_t a11);
    void SetZoneInfoC(const char* zone, int32_t isDay, int32_t a1, int32_t a2, int32_t a3, int32_t a4, int32_t a5,
                      int32_t a6, int32_t a7, int32_t a8, int32_t a9, int32_t a10, int32_t a11);
    void SetZoneGroup(const char* zone, int32_t isDay, int32_t group);
    void Command01E8(float x1, float y1, float z1, float x2, float y2, float z2);
    void Command022B(float x1, float y1, float z1, float x2, float y2, float z2);
    // The host writes the new object's handle into objectHandle.
    void CreateObject(int32_t model, float x, float y, float z);
    // The host writes the new generator's handle into generatorHandle.
    void CreateCarGenerator(float x, float y, float z, float heading, int32_t model, int32_t b1, int32_t b2, int32_t b3,
                            int32_t b4, int32_t b5, int32_t b6, int32_t b7);
    bool SetCarGeneratorValue(int32_t value);
    void Command0363(float x, float y, float z, float radius, int32_t model, int32_t value);
    void Command03B6(float x, float y, float z, float radius, int32_t model, int32_t otherModel);
    void SetGroupPedModels(int32_t group, int32_t model1, int32_t model2);
    void SetGroupCarModel(int32_t group, int32_t model);
    bool Command016C(float x, float y, float z, float angle);
    void Command016D(float x, float y, float z, float angle);
    void Command01F0(int32_t value);
    void Command0111(int32_t flag);  // byte
    void Command04BB(int32_t value);

    // No script sends these.
    bool Command0394(int32_t value);
    bool Command01E3(const char* key, int32_t number, int32_t timeMs, int32_t style);
    bool Command0158(int32_t* target);
    bool Command0159(int32_t* target);
    bool Command00BE();
    bool Command022A(float x1, float y1, float z1, float x2, float y2, float z2);
    bool Command04F9(int32_t a, int32_t b);
    bool Command04FA(int32_t value);
    bool Command0395(int32_t value, float x, float y, float z, float radius);
    bool Command03AD(int32_t value);
    bool Command030D(int32_t value);
    bool Command030C(int32_t value);
    bool Command034D(float a, float b, int32_t value);
    bool Command0177(float angle);
    bool Command0566(int32_t value);
    bool Command0392(int32_t value);
    bool Command04EF(const char* name);
};

// Made by the boot script; every world-wide command goes through it.
extern World* world;

struct ScriptThread;

// The scripts never assume a fade has ended: they poll it, giving the turn
// back for pollMs between polls, until it has.
void WaitWhileFading(ScriptThread* self, int32_t pollMs);
