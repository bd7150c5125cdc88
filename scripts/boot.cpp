// The boot script: sets up the boot record and the long-lived wrappers, gives
// the city its starting state, makes the player and starts the welcome thread.
#include "scripts/boot.h"

#include "game/held_wrappers.h"
#include "game/player.h"
#include "game/script_control.h"
#include "game/world.h"
#include "script/command.h"
#include "script/scheduler.h"
#include "scripts/boot_data.h"
#include "scripts/welcome_thread.h"

// Every placed object and car generator keeps the handle its command wrote
// back in a World record of its own, for the whole boot of the scripts.
static World* objectRecords[kObjectCount];
static World* generatorRecords[kCarGeneratorCount];

// What a boot made for its scripts' whole life, taken before the next boot
// replaces it.
struct BootObjects {
    ScriptControl* scriptControl;
    World* world;
    Player* player;
    World* objectRecords[kObjectCount];
    World* generatorRecords[kCarGeneratorCount];
};

static void TakeBootObjects(BootObjects* objects)
{
    objects->scriptControl = scriptControl;
    objects->world = world;
    objects->player = player;
    for (int i = 0; i < kObjectCount; ++i)
        objects->objectRecords[i] = objectRecords[i];
    for (int i = 0; i < kCarGeneratorCount; ++i)
        objects->generatorRecords[i] = generatorRecords[i];
}

// None of these objects' destructors sends a command.
static void DeleteBootObjects(const BootObjects& objects)
{
    delete objects.scriptControl;
    delete objects.world;
    delete objects.player;
    for (World* record : objects.objectRecords)
        delete record;
    for (World* record : objects.generatorRecords)
        delete record;
}

static const float kStartX = 1011.72f;
static const float kStartY = -456.49f;
static const float kStartZ = 55.88f;
static const float kSceneOffsetY = 2.0f;
static const float kPlayerHeading = 270.0f;

// SetZoneInfoA, B or C: the same shape, a label, the day flag and eleven ints.
typedef void (World::*ZoneInfoCommand)(const char*, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t,
                                       int32_t, int32_t, int32_t, int32_t, int32_t);

// The row's values with the flag 1, then with the flag 0.
static void SendZoneInfo(ZoneInfoCommand send, const ZoneInfoRow& row)
{
    const int32_t* d = row.day;
    const int32_t* n = row.night;
    (world->*send)(row.label, 1, d[0], d[1], d[2], d[3], d[4], d[5], d[6], d[7], d[8], d[9], d[10]);
    (world->*send)(row.label, 0, n[0], n[1], n[2], n[3], n[4], n[5], n[6], n[7], n[8], n[9], n[10]);
}

static void SendZoneInformation()
{
    for (int zone = 0; zone < kZoneCount; ++zone) {
        SendZoneInfo(&World::SetZoneInfoA, kZoneInfoA[zone]);
        SendZoneInfo(&World::SetZoneInfoB, kZoneInfoB[zone]);
        world->SetZoneGroup(kZones[zone].label, 1, kZones[zone].groupDay);
        world->SetZoneGroup(kZones[zone].label, 0, kZones[zone].groupNight);
        // The last zone has no SetZoneInfoC values.
        if (zone < kZoneInfoCCount)
            SendZoneInfo(&World::SetZoneInfoC, kZoneInfoC[zone]);
    }
}

static void SendAreas()
{
    for (int i = 0; i < kAreaCount; ++i) {
        const AreaRow& box = kAreas[i];
        if (box.command == 0x01E8)
            world->Command01E8(box.x1, box.y1, box.z1, box.x2, box.y2, box.z2);
        else
            world->Command022B(box.x1, box.y1, box.z1, box.x2, box.y2, box.z2);
    }
}

static void SendModelCommands(int first, int end)
{
    for (int i = first; i < end; ++i) {
        const ModelCommandRow& row = kModelCommands[i];
        if (row.command == 0x0363)
            world->Command0363(row.x, row.y, row.z, row.radius, row.model, row.last);
        else
            world->Command03B6(row.x, row.y, row.z, row.radius, row.model, row.last);
    }
}

static void PlaceObjects()
{
    for (int i = 0; i < kObjectCount; ++i) {
        const ObjectRow& row = kObjects[i];
        objectRecords[i] = new World();
        objectRecords[i]->CreateObject(row.model, row.x, row.y, row.z);
    }
}

static void MakeCarGenerators()
{
    for (int i = 0; i < kCarGeneratorCount; ++i) {
        const CarGeneratorRow& row = kCarGenerators[i];
        generatorRecords[i] = new World();
        generatorRecords[i]->CreateCarGenerator(row.x, row.y, row.z, row.heading, row.model, row.b[0], row.b[1],
                                                row.b[2], row.b[3], row.b[4], row.b[5], row.b[6]);
        generatorRecords[i]->SetCarGeneratorValue(kCarGeneratorValue);
    }
}

static void SetGroupModels()
{
    world->SetGroupPedModels(7, 95, 96);
    world->SetGroupCarModel(0, 174);
    world->SetGroupCarModel(1, 228);
    world->SetGroupCarModel(2, 206);
    world->SetGroupCarModel(3, 207);
    world->SetGroupCarModel(4, 142);
    world->SetGroupCarModel(5, 225);
    world->SetGroupCarModel(7, 212);
}

void BootScript()
{
    // Once every thread of an earlier boot has ended, nothing uses what that
    // boot made: its objects go once this boot has made their successors.
    const bool earlierBootEnded = InitScriptThreadList();
    BootObjects earlier;
    TakeBootObjects(&earlier);
    if (earlierBootEnded)
        ReleaseHeldWrappers();

    scriptControl = new ScriptControl();
    scriptControl->SetScriptName("MAIN");

    // Black first; the picture comes back once the world and player are ready.
    world = new World();
    world->Fade(0, 0);

    SendZoneInformation();
    SendAreas();
    world->Command01F0(0);
    world->Command0111(1);
    world->Command04BB(0);

    SendModelCommands(0, kModelCommandsBeforeObjects);
    PlaceObjects();
    SendModelCommands(kModelCommandsBeforeObjects, kModelCommandCount);
    MakeCarGenerators();
    SetGroupModels();

    world->SetTimeOfDay(8, 0);
    world->PrepareAreaAt(kStartX, kStartY);
    world->PrepareSceneAt(kStartX, kStartY + kSceneOffsetY, kStartZ);

    player = new Player(kStartX, kStartY, kStartZ);
    player->Command03C8();
    player->SetModel("PLAYER");
    player->SetHeading(kPlayerHeading);
    player->Command055E(150);
    player->Command055F(150);
    player->Command055D(1);
    player->Command0330(1);

    // A full turn less 240 degrees, taken in single precision.
    float fullTurn = 360.0f;
    float startAngle = fullTurn - 240.0f;
    world->Command016C(kStartX, kStartY, kStartZ, startAngle);
    world->Command016D(kStartX, kStartY, kStartZ, startAngle);

    world->SetWeather(0);
    world->Fade(1000, 1);
    world->Command04BB(0);
    // Unlocked last; the welcome thread locks them again at its start.
    player->SetControlsLocked(false);

    if (earlierBootEnded)
        DeleteBootObjects(earlier);
    StartBootThread(WelcomeThread);
}

static void ScriptsReinitialised()
{
    ArmStartMarker();
}

const ScriptBoot kStudioScriptBoot = { BootScript, ScriptsReinitialised };

void ResetModule()
{
    if (ResetScheduler()) {
        ResetBridgeChoice();
        ReleaseHeldWrappers();
        BootObjects made;
        TakeBootObjects(&made);
        DeleteBootObjects(made);
    }
    scriptControl = nullptr;
    world = nullptr;
    player = nullptr;
    for (World*& record : objectRecords)
        record = nullptr;
    for (World*& record : generatorRecords)
        record = nullptr;
    ArmStartMarker();
}
