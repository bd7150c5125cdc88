// The substitute host's engine: stepping, the one-command interpreter and the
// imitation of the game that the module's commands act on.
#include "hostsim/engine.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include "hostsim/directions.h"
#include "hostsim/driving.h"
#include "hostsim/host_command_shapes.h"
#include "hostsim/snapshot.h"
#include "script/scheduler.h"

// --- Run state ------------------------------------------------------------------
// One run at a time. Its state is touched by the host's thread and by the
// script threads' commands, which a stall lets overlap with the host's frames
// or with each other: engineLock guards it. The host's thread holds it for its
// frame work and lets go of it around every call into the module (whose hooks
// may wait for a script thread); the interpreter holds it for a command but
// for a stall's wait. Recursive, since what the host calls back under it (a
// record's listener, the front end's frame callback, the text lookup) may
// report an error or take a snapshot.
static std::recursive_mutex engineLock;

static const size_t kScriptSpaceSize = 0x1000;
alignas(16) static uint8_t nativeScriptSpace[kScriptSpaceSize];

struct EngineRun {
    Scenario scenario;
    EngineBinding binding;
    void (*onRecord)(const TraceRecord&) = nullptr;
    TraceKept kept = kWholeTrace;
    RunResult result;
    std::deque<std::unique_ptr<EngineScript>> scripts;  // stable addresses
    // Dropped by a re-initialisation, and kept till the run ends: a command
    // stalled on one of them still uses it.
    std::vector<std::unique_ptr<EngineScript>> droppedScripts;
    int nextScriptNumber = 0;
    int64_t now = 0;
    int64_t frame = 0;
    EngineScript* stepping = nullptr;  // the script being ticked, if any
    bool shutDown = false;
    int32_t nextHandle = 1;
    int32_t firstHandleOfBoot = 1;  // handles from here on belong to the module's current boot
    int16_t keys[256] = {};
    HostWorld world;
    uint64_t hostThread = 0;                // the host's own thread, whose commands (the boot's) bind no script
    std::deque<ScenarioEvent> armedStalls;  // stalls whose time has come, for the next commands of script threads
    EngineScript* stalledScript = nullptr;  // whose command is stalled, if one is
    int64_t stallBeganAt = 0;               // simulated ms
    std::chrono::steady_clock::time_point stallBeganReal;
    bool ended = false;                     // the end is recorded: no command runs any more
};

static EngineRun* run = nullptr;
static uint64_t runsStarted = 0;  // tells a stall that woke in a later run that its own is gone
static uint8_t* scriptSpace = nativeScriptSpace;

uint8_t* EngineScriptSpace()
{
    return scriptSpace;
}

void SetEngineScriptSpace(uint8_t* base)
{
    scriptSpace = base;
}

// --- Threads and stalls -------------------------------------------------------------
// Natively a stall holds nothing: the POSIX layer never kills a thread inside
// the host's code, so no lock held there could show anything.

static thread_local char threadMarker;  // one per thread alive, where the thread's own storage is

static uint64_t CppCurrentThread()
{
    return reinterpret_cast<uintptr_t>(&threadMarker);
}

static std::mutex stallWakeLock;
static std::condition_variable stallWake;
static bool stallsReleased = false;

static void CppStall(int64_t ms, StallHold)
{
    std::unique_lock<std::mutex> lock(stallWakeLock);
    const auto released = [] { return stallsReleased; };
    if (ms == kStallForever)
        stallWake.wait(lock, released);
    else
        stallWake.wait_for(lock, std::chrono::milliseconds(ms), released);
}

static void CppReleaseStalls(bool released)
{
    std::lock_guard<std::mutex> lock(stallWakeLock);
    stallsReleased = released;
    stallWake.notify_all();
}

static EngineThreadServices threadServices = { CppCurrentThread, CppStall, CppReleaseStalls };

void SetEngineThreadServices(const EngineThreadServices& services)
{
    threadServices = services;
}

const HostWorld& CurrentHostWorld()
{
    return run->world;
}

int64_t CurrentHostTime()
{
    return run->now;
}

int16_t EngineKeyState(int virtualKey)
{
    std::lock_guard<std::recursive_mutex> hold(engineLock);
    if (!run || virtualKey < 0 || virtualKey > 255)
        return 0;
    return run->keys[virtualKey];
}

void SetHostKey(int virtualKey, bool held)
{
    std::lock_guard<std::recursive_mutex> hold(engineLock);
    if (run && virtualKey >= 0 && virtualKey <= 255)
        run->keys[virtualKey] = held ? static_cast<int16_t>(0x8000) : 0;
}

static void Record(TraceRecord record)
{
    record.t = run->now;
    if (record.kind == "error")
        ++run->result.errors;
    if (run->onRecord)
        run->onRecord(record);
    if (run->kept == kWholeTrace)
        run->result.trace.push_back(std::move(record));
}

void ReportHostError(const std::string& what)
{
    std::lock_guard<std::recursive_mutex> hold(engineLock);
    TraceRecord record;
    record.kind = "error";
    record.what = what;
    Record(record);
}

TraceRecord SnapshotRecord()
{
    std::lock_guard<std::recursive_mutex> hold(engineLock);
    TraceRecord record;
    record.t = run->now;
    record.kind = "world";
    record.world = WorldJson(run->world);
    Record(record);
    return record;
}

static EngineScript* StartHostScript(uint32_t instructionPointer)
{
    std::unique_ptr<EngineScript> script(new EngineScript);
    memset(&script->record, 0, sizeof script->record);
    WriteInstructionPointer(&script->record, instructionPointer);
    script->number = run->nextScriptNumber++;
    script->wakeAt = run->now;
    run->scripts.push_back(std::move(script));
    return run->scripts.back().get();
}

static EngineScript* ScriptOfRecord(HostScript* record)
{
    for (const std::unique_ptr<EngineScript>& script : run->scripts)
        if (&script->record == record)
            return script.get();
    return nullptr;
}

// --- Host texts ------------------------------------------------------------------

struct HostText {
    const char* key;
    const char16_t* text;
};

// A few of the host's own texts; "~1~" stands for the number of the command.
static const HostText kHostTexts[] = {
    { "NUMBER", u"~1~" },
    { "WELCOME", u"Host welcome text" },
};

const char16_t* HostOwnText(const char* key)
{
    for (const HostText& text : kHostTexts)
        if (strncmp(key, text.key, 8) == 0)
            return text.text;
    return u"";
}

static std::string Utf8(const char16_t* text)
{
    std::string out;
    for (; *text; ++text) {
        uint32_t c = *text;
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// --- Decoding ----------------------------------------------------------------------

struct DecodedCommand {
    uint16_t id;
    std::vector<TraceArgument> args;
    std::vector<int> variableSlots;
    char labels[4][9];  // the label arguments as the host reads them, 0-terminated
};

static bool Decode(const uint8_t* code, HostScript* record, DecodedCommand* command, std::string* problem)
{
    memcpy(&command->id, code, 2);
    const HostCommandShape* shape = FindHostCommandShape(command->id);
    if (!shape) {
        char text[48];
        snprintf(text, sizeof text, "unknown command %04X", command->id);
        *problem = text;
        return false;
    }
    const uint8_t* at = code + 2;
    int labelCount = 0;
    for (const char* letter = shape->shape; *letter; ++letter) {
        TraceArgument argument;
        argument.kind = *letter;
        uint8_t type = *at;
        switch (*letter) {
        case 'i':
            if (type != 0x01)
                break;
            memcpy(&argument.i, at + 1, 4);
            at += 5;
            command->args.push_back(argument);
            continue;
        case 'f':
            if (type != 0x06)
                break;
            memcpy(&argument.f, at + 1, 4);
            at += 5;
            command->args.push_back(argument);
            continue;
        case 'v': {
            if (type != 0x03)
                break;
            uint16_t slot;
            memcpy(&slot, at + 1, 2);
            if (slot >= kHostScriptLocalCount)
                break;
            argument.slot = slot;
            argument.i = ReadLocal(record, slot);
            command->variableSlots.push_back(slot);
            at += 3;
            command->args.push_back(argument);
            continue;
        }
        case 's': {
            char* label = command->labels[labelCount++ % 4];
            memcpy(label, at, 8);
            label[8] = 0;
            argument.s = label;
            at += 8;
            command->args.push_back(argument);
            continue;
        }
        case 'z':
            if (type != 0x00)
                break;
            at += 1;
            command->args.push_back(argument);
            continue;
        }
        char text[80];
        snprintf(text, sizeof text, "malformed command %04X: argument %d should be '%c', type byte %02X",
                 command->id, static_cast<int>(command->args.size()) + 1, *letter, type);
        *problem = text;
        return false;
    }
    return true;
}

// --- The game ----------------------------------------------------------------------

static int32_t NewHandle()
{
    return run->nextHandle++;
}

static bool ModelNeverAvailable(int32_t model)
{
    const std::vector<int32_t>& never = run->scenario.neverModels;
    return std::find(never.begin(), never.end(), model) != never.end();
}

static bool ModelAvailable(int32_t model)
{
    if (ModelNeverAvailable(model))
        return false;
    std::map<int32_t, int64_t>::const_iterator found = run->world.modelAvailableAtFrame.find(model);
    return found != run->world.modelAvailableAtFrame.end() && run->frame >= found->second;
}

static void RequestModel(int32_t model)
{
    if (!run->world.modelAvailableAtFrame.count(model))
        run->world.modelAvailableAtFrame[model] = run->frame + run->scenario.modelDelay;
}

static float Float(const DecodedCommand& command, int n)
{
    return command.args[n].f;
}

static int32_t Int(const DecodedCommand& command, int n)
{
    return command.args[n].i;
}

static void SetFloatLocal(HostScript* record, const DecodedCommand& command, int variable, float value)
{
    int32_t bits;
    memcpy(&bits, &value, 4);
    WriteLocal(record, command.variableSlots[variable], bits);
}

static void SetLocal(HostScript* record, const DecodedCommand& command, int variable, int32_t value)
{
    WriteLocal(record, command.variableSlots[variable], value);
}

static void SetCondition(HostScript* record, bool value)
{
    record->bytes[kHostScriptCondition] = value ? 1 : 0;
}

// A direction to a ped: its label, and a walk when it is sent into a car.
static void DirectPed(const DecodedCommand& command)
{
    HostWorld& world = run->world;
    std::map<int32_t, HostPed>::iterator found = world.peds.find(Int(command, 0));
    if (found == world.peds.end())
        return;
    HostPed& ped = found->second;
    ped.doing = DirectionLabel(command.id, command.args);
    if (ped.inCar)
        return;
    ped.car = 0;
    if (command.id != 0x01D5)
        return;
    std::map<int32_t, HostCar>::const_iterator car = world.cars.find(Int(command, 1));
    if (car == world.cars.end())
        return;
    ped.car = car->first;
    if (car->second.slot)
        ped.doing = "into Car " + std::to_string(car->second.slot);
}

// A direction to a car: its label and what the substitute drives by.
static void DirectCar(const DecodedCommand& command)
{
    std::map<int32_t, HostCar>::iterator found = run->world.cars.find(Int(command, 0));
    if (found == run->world.cars.end())
        return;
    HostCar& car = found->second;
    car.doing = DirectionLabel(command.id, command.args);
    switch (command.id) {
    case 0x00AD:
        car.toldSpeed = Float(command, 1);
        break;
    case 0x00A8:
        car.style = kPsychoDriving;
        break;
    case 0x00A9:
        car.style = kNormalDriving;
        break;
    case 0x00AF:
        car.behaviour = Int(command, 1);
        car.drivingTo = false;
        car.followedBox = -1;
        break;
    case 0x02C2:
        car.drivingTo = true;
        car.toX = Float(command, 1);
        car.toY = Float(command, 2);
        car.toZ = Float(command, 3);
        break;
    }
}

// The studio confirms a chosen car with its slot's text right after making
// it: from then on the newest car is that slot's, for the labels.
static void NoteCarSlot(const std::string& key)
{
    const int slot = key == "!CR1CRE" ? 1 : key == "!CR2CRE" ? 2 : 0;
    if (!slot || run->world.cars.empty())
        return;
    for (auto& [handle, car] : run->world.cars)
        if (car.slot == slot)
            car.slot = 0;
    run->world.cars.rbegin()->second.slot = slot;
}

static void ShowText(const DecodedCommand& command, EngineScript* script, bool withNumber)
{
    TraceRecord text;
    text.kind = "text";
    text.script = script->number;
    text.id = command.id;
    text.key = command.args[0].s;
    const char16_t* found = run->binding.lookupText(command.labels[0]);
    text.text = Utf8(found);
    if (command.labels[0][0] == '!' && std::u16string(found) == u"NOT FOUND")
        ReportHostError("text key " + text.key + " has no text of the module's");
    NoteCarSlot(text.key);
    text.hasNumber = withNumber;
    text.number = withNumber ? Int(command, 1) : 0;
    text.ms = Int(command, withNumber ? 2 : 1);
    text.style = Int(command, withNumber ? 3 : 2);
    (text.style == 2 ? run->world.title : run->world.subtitle) = { text.text, text.number, run->now + text.ms };
    Record(text);
}

// The most peds and cars the module's scripts hold at once: the ten group
// places and one preview ped; the two car slots, one preview car and the
// welcome thread's parked car. Objects of an earlier boot of the scripts are
// the host's to clear and not counted.
static const size_t kMostPedsOfABoot = 11;
static const size_t kMostCarsOfABoot = 4;

template <typename Thing>
static void CheckHeldByThisBoot(const std::map<int32_t, Thing>& things, size_t most, const char* what)
{
    size_t held = 0;
    for (typename std::map<int32_t, Thing>::const_iterator thing = things.lower_bound(run->firstHandleOfBoot);
         thing != things.end(); ++thing)
        ++held;
    if (held > most)
        ReportHostError("the host holds " + std::to_string(held) + " " + what + " of the scripts' boot, more than " +
                        std::to_string(most));
}

// What one command does to the game.
static void Execute(const DecodedCommand& command, EngineScript* script)
{
    HostWorld& world = run->world;
    HostScript* record = &script->record;
    switch (command.id) {
    case 0x0001:  // wait
        if (Int(command, 0) < 0)
            ReportHostError("wait of " + std::to_string(Int(command, 0)) + " ms");
        script->wakeAt = run->now + (Int(command, 0) > 0 ? Int(command, 0) : 0);
        break;
    case 0x00D7:  // start a new script at the given instruction pointer
        StartHostScript(static_cast<uint32_t>(Int(command, 0)));
        break;
    case 0x0053:  // create the player
        world.player.exists = true;
        world.player.handle = NewHandle();
        world.player.x = Float(command, 1);
        world.player.y = Float(command, 2);
        world.player.z = Float(command, 3);
        SetLocal(record, command, 0, world.player.handle);
        break;
    case 0x01F5:  // the player's character
        world.player.characterHandle = NewHandle();
        SetLocal(record, command, 1, world.player.characterHandle);
        break;
    case 0x00F6: {  // is the player within a box
        const HostPlayer& p = world.player;
        SetCondition(record, std::fabs(p.x - Float(command, 1)) <= Float(command, 4) &&
                                 std::fabs(p.y - Float(command, 2)) <= Float(command, 5) &&
                                 std::fabs(p.z - Float(command, 3)) <= Float(command, 6));
        break;
    }
    case 0x0171:
        world.player.heading = Float(command, 1);
        break;
    case 0x04C4: {  // a point in front of the player, by its heading
        float radians = world.player.heading * 3.14159265f / 180.0f;
        float dx = Float(command, 1), dy = Float(command, 2), dz = Float(command, 3);
        SetFloatLocal(record, command, 1, world.player.x + dx * std::cos(radians) - dy * std::sin(radians));
        SetFloatLocal(record, command, 2, world.player.y + dx * std::sin(radians) + dy * std::cos(radians));
        SetFloatLocal(record, command, 3, world.player.z + dz);
        break;
    }
    case 0x0352:
        world.player.model = command.args[1].s;
        break;
    case 0x01B4:
        world.controlsLocked = Int(command, 1) == 0;
        break;
    case 0x0247:
        RequestModel(Int(command, 0));
        break;
    case 0x023C: {  // a named model into a special slot: loaded anew
        int32_t model = Int(command, 0) + kFirstSpecialModel;
        world.specialModels[Int(command, 0)] = command.args[1].s;
        world.modelAvailableAtFrame[model] = run->frame + run->scenario.modelDelay;
        break;
    }
    case 0x0248:
        SetCondition(record, ModelAvailable(Int(command, 0)));
        break;
    case 0x009A: {  // create a ped
        int32_t model = Int(command, 1);
        if (!ModelAvailable(model))
            ReportHostError("ped created with model " + std::to_string(model) + " not loaded");
        HostPed ped;
        ped.model = model;
        ped.x = Float(command, 2);
        ped.y = Float(command, 3);
        ped.z = Float(command, 4);
        PlaceClear(world, false, &ped.x, &ped.y);
        if (world.specialModels.count(model - kFirstSpecialModel))
            ped.name = world.specialModels[model - kFirstSpecialModel];
        int32_t handle = NewHandle();
        world.peds[handle] = ped;
        SetLocal(record, command, 0, handle);
        CheckHeldByThisBoot(world.peds, kMostPedsOfABoot, "peds");
        break;
    }
    case 0x009B:
    case 0x034F:
    case 0x01C2:
        RemovePed(world, Int(command, 0));
        break;
    case 0x0173:
        if (world.peds.count(Int(command, 0)))
            world.peds[Int(command, 0)].heading = Float(command, 1);
        break;
    case 0x00A5: {  // create a car
        int32_t model = Int(command, 0);
        if (!ModelAvailable(model))
            ReportHostError("car created with model " + std::to_string(model) + " not loaded");
        HostCar car;
        car.model = model;
        car.x = Float(command, 1);
        car.y = Float(command, 2);
        car.z = Float(command, 3);
        PlaceClear(world, true, &car.x, &car.y);
        int32_t handle = NewHandle();
        world.cars[handle] = car;
        SetLocal(record, command, 0, handle);
        CheckHeldByThisBoot(world.cars, kMostCarsOfABoot, "cars");
        break;
    }
    case 0x00A6:
    case 0x01C3:
        RemoveCar(world, Int(command, 0));
        break;
    case 0x0175:
        if (world.cars.count(Int(command, 0)))
            world.cars[Int(command, 0)].heading = Float(command, 1);
        break;
    case 0x02A7: {  // a radar marker at a point
        int32_t handle = NewHandle();
        world.markers[handle] = { kMarkerAtPoint, 0, Float(command, 0), Float(command, 1), Float(command, 2) };
        world.pointMarkerPlaced = true;
        world.lastPointMarkerX = Float(command, 0);
        world.lastPointMarkerY = Float(command, 1);
        SetLocal(record, command, 0, handle);
        break;
    }
    case 0x0161:
    case 0x0162: {  // a radar marker on a thing
        int32_t handle = NewHandle();
        world.markers[handle] = { command.id == 0x0161 ? kMarkerOnCar : kMarkerOnPed, Int(command, 0) };
        SetLocal(record, command, 1, handle);
        break;
    }
    case 0x0164:
        world.markers.erase(Int(command, 0));
        break;
    case 0x01E8:
    case 0x022B:  // a box of the map
        world.boxes.push_back({ command.id, Float(command, 0), Float(command, 1), Float(command, 2), Float(command, 3),
                                Float(command, 4), Float(command, 5) });
        WidenCity(world, Float(command, 0), Float(command, 1));
        WidenCity(world, Float(command, 3), Float(command, 4));
        break;
    case 0x029B:  // a placed object
        world.objects.push_back({ Int(command, 0), Float(command, 1), Float(command, 2), Float(command, 3) });
        WidenCity(world, Float(command, 1), Float(command, 2));
        SetLocal(record, command, 0, NewHandle());
        break;
    case 0x014B:  // a car generator
        world.carGenerators.push_back(
            { Int(command, 4), Float(command, 0), Float(command, 1), Float(command, 2), Float(command, 3) });
        WidenCity(world, Float(command, 0), Float(command, 1));
        SetLocal(record, command, 0, NewHandle());
        break;
    case 0x014C:
        SetCondition(record, true);
        break;
    case 0x016A:  // a fade
        world.fadeDurationMs = Int(command, 0);
        world.fadeDirection = Int(command, 1);
        world.fadeEndsAt = run->now + Int(command, 0);
        break;
    case 0x016B:
        SetCondition(record, run->now < world.fadeEndsAt);
        break;
    case 0x00C0:
        world.clockHour = Int(command, 0);
        world.clockMinute = Int(command, 1);
        world.clockSetAt = run->now;
        break;
    case 0x01B6:
        world.weather = Int(command, 0);
        world.weatherHeld = false;
        break;
    case 0x01B5:
        world.weather = Int(command, 0);
        world.weatherHeld = true;
        break;
    case 0x02A3:
        world.cutscene = Int(command, 0) != 0;
        break;
    case 0x015F:
        world.fixedCamera = true;
        world.cameraX = Float(command, 0);
        world.cameraY = Float(command, 1);
        world.cameraLooks = false;
        break;
    case 0x0160:
        world.cameraLooks = true;
        world.cameraLookX = Float(command, 0);
        world.cameraLookY = Float(command, 1);
        break;
    case 0x02EB:
        world.fixedCamera = false;
        break;
    case 0x00BA:
    case 0x00BC:
        ShowText(command, script, false);
        break;
    case 0x01E4:
        ShowText(command, script, true);
        break;
    default:
        break;
    }
    switch (DirectionSubjectOf(command.id)) {
    case kPedDirection:
        DirectPed(command);
        break;
    case kCarDirection:
        DirectCar(command);
        break;
    case kNotADirection:
        break;
    }
}

// A stalled command is still being run: a command of any script arriving
// meanwhile is a second runner. A stalled command of a script that a
// re-initialisation dropped no longer counts, so the boot after it goes on.
static bool OneCommandAtATime(const EngineScript* script)
{
    EngineScript* stalled = run->stalledScript;
    if (!stalled || !ScriptOfRecord(&stalled->record))
        return true;
    ReportHostError("command on script " + std::to_string(script->number) + " while a command of script " +
                    std::to_string(stalled->number) + " is being run");
    return false;
}

// Each host script is served by one script thread, known from the first
// command it sends; the host's own thread (the boot script, inside a tick)
// binds none. A command from the thread of another script, or from a thread
// other than its script's, is a second runner.
static bool FromItsOwnThread(EngineScript* script, uint64_t thread)
{
    if (thread == run->hostThread)
        return true;
    for (const std::unique_ptr<EngineScript>& other : run->scripts)
        if (other.get() != script && other->sender == thread) {
            ReportHostError("command on script " + std::to_string(script->number) + " from the thread of script " +
                            std::to_string(other->number));
            return false;
        }
    if (script->sender && script->sender != thread) {
        ReportHostError("command on script " + std::to_string(script->number) + " from a thread other than its own");
        return false;
    }
    script->sender = thread;
    return true;
}

// Holds the decoded command for the stall's real ms, without the engine's
// lock so that the host steps on meanwhile; the command then runs at the
// host's time of its end. False when the run ended meanwhile: the command is
// let go of, unrun.
static bool Stall(const DecodedCommand& command, EngineScript* script, std::unique_lock<std::recursive_mutex>& hold)
{
    const ScenarioEvent stall = run->armedStalls.front();
    run->armedStalls.pop_front();
    TraceRecord record;
    record.kind = "stall";
    record.script = script->number;
    record.id = command.id;
    record.ms = static_cast<int>(stall.stallMs);
    Record(record);
    run->stalledScript = script;
    run->stallBeganAt = run->now;
    run->stallBeganReal = std::chrono::steady_clock::now();
    const uint64_t runOfStall = runsStarted;
    hold.unlock();
    threadServices.stall(stall.stallMs, stall.stallHolds);
    hold.lock();
    if (runsStarted != runOfStall)
        return false;  // a later run: this one and its scripts are gone
    run->stalledScript = nullptr;
    return !run->ended;
}

void HOST_CALLBACK EngineInterpret(HostScript* record)
{
    std::unique_lock<std::recursive_mutex> hold(engineLock);
    if (!run || run->ended)
        return;
    EngineScript* script = ScriptOfRecord(record);
    if (!run->stepping) {
        ReportHostError("command outside a tick");
        return;
    }
    if (script != run->stepping) {
        ReportHostError("command on a record other than the stepped script's");
        return;
    }
    const uint64_t thread = threadServices.currentThread();
    if (!OneCommandAtATime(script) || !FromItsOwnThread(script, thread))
        return;
    uintptr_t address = reinterpret_cast<uintptr_t>(scriptSpace) +
                        static_cast<uintptr_t>(static_cast<intptr_t>(static_cast<int32_t>(ReadInstructionPointer(record))));
    DecodedCommand command;
    std::string problem;
    if (!Decode(reinterpret_cast<const uint8_t*>(address), record, &command, &problem)) {
        ReportHostError(problem);
        return;
    }
    // The first command a script thread sends once a stall's time has come.
    if (!run->armedStalls.empty() && thread != run->hostThread && !Stall(command, script, hold))
        return;
    Execute(command, script);

    TraceRecord trace;
    trace.kind = "cmd";
    trace.script = script->number;
    trace.id = command.id;
    trace.args = command.args;
    trace.cond = ReadCondition(record) ? 1 : 0;
    for (int slot : command.variableSlots)
        trace.out.push_back(ReadLocal(record, slot));
    Record(trace);
}

// --- Stepping ---------------------------------------------------------------------

// The module's tick hands the turn back after at most its bound (1000 ms, but
// in the sanitizer builds) however its script behaves; a call into the module
// that blocks the host's thread much longer than that, in real time, would
// hang the game.
static const int64_t kHostCallBoundMs = kTickBoundMs;
static const int64_t kHostCallMarginMs = 500;

// Runs a call into the module without the engine's lock, which the commands
// of the script threads it may wait for need, and returns how long it took in
// real time, in ms.
template <typename Call>
static int64_t RealMsOf(Call call)
{
    engineLock.unlock();
    const std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    call();
    const std::chrono::steady_clock::time_point end = std::chrono::steady_clock::now();
    engineLock.lock();
    return std::chrono::duration_cast<std::chrono::milliseconds>(end - start).count();
}

static void CheckHostCallTime(const std::string& what, int64_t ms)
{
    if (ms > kHostCallBoundMs + kHostCallMarginMs)
        ReportHostError(what + " blocked the host for " + std::to_string(ms) + " ms, over the " +
                        std::to_string(kHostCallBoundMs) + " ms bound");
}

static void ApplyEvent(const ScenarioEvent& event)
{
    switch (event.kind) {
    case kEventKeyDown:
    case kEventKeyUp:
        for (int key : event.keys)
            run->keys[key] = event.kind == kEventKeyDown ? static_cast<int16_t>(0x8000) : 0;
        break;
    case kEventPlayer:
        run->world.player.x = event.x;
        run->world.player.y = event.y;
        run->world.player.z = event.z;
        break;
    case kEventReinit: {
        TraceRecord record;
        record.kind = "reinit";
        Record(record);
        CheckHostCallTime("the re-initialisation call", RealMsOf(run->binding.reinit));
        break;
    }
    case kEventSnapshot:
        SnapshotRecord();
        break;
    case kEventStall:
        run->armedStalls.push_back(event);
        break;
    case kEventShutdown: {
        TraceRecord record;
        record.kind = "shutdown";
        Record(record);
        CheckHostCallTime("the shutdown call", RealMsOf(run->binding.shutdown));
        run->shutDown = true;
        break;
    }
    }
}

void EngineReinitContinuation()
{
    std::lock_guard<std::recursive_mutex> hold(engineLock);
    // As a new game does: every host script is dropped and one new first
    // script, numbered 0 again, is started.
    for (std::unique_ptr<EngineScript>& script : run->scripts)
        run->droppedScripts.push_back(std::move(script));
    run->scripts.clear();
    run->nextScriptNumber = 0;
    run->firstHandleOfBoot = run->nextHandle;
    // The next boot lays the city out anew.
    run->world.boxes.clear();
    run->world.objects.clear();
    run->world.carGenerators.clear();
    run->world.cityBounds = HostArea();
    StartHostScript(0);
}

void EngineShutdownContinuation()
{
}

// Heading 0 faces +y and grows to the left, as the host's offset points do.
static void WalkPlayer()
{
    enum { kLeft = 37, kUp = 38, kRight = 39, kDown = 40 };
    HostPlayer& player = run->world.player;
    if (!player.exists || run->world.controlsLocked)
        return;
    const float seconds = run->scenario.frameMs / 1000.0f;
    if (run->keys[kLeft])
        player.heading += kPlayerTurnRate * seconds;
    if (run->keys[kRight])
        player.heading -= kPlayerTurnRate * seconds;
    player.heading = std::fmod(player.heading + 360.0f, 360.0f);
    const float step = ((run->keys[kUp] ? 1.0f : 0.0f) - (run->keys[kDown] ? 1.0f : 0.0f)) * kPlayerWalkSpeed * seconds;
    const float radians = player.heading * 3.14159265f / 180.0f;
    player.x -= step * std::sin(radians);
    player.y += step * std::cos(radians);
}

static void StepScripts()
{
    size_t count = run->scripts.size();  // scripts started during this frame wait for the next
    for (size_t n = 0; n < count && n < run->scripts.size(); ++n) {
        EngineScript* script = run->scripts[n].get();
        if (script->wakeAt > run->now)
            continue;
        script->wakeAt = run->now + 1;
        run->stepping = script;
        const int64_t ms = RealMsOf([script]() { run->binding.tick(&script->record); });
        if (ms > kHostCallBoundMs + kHostCallMarginMs)
            CheckHostCallTime("a step of script " + std::to_string(script->number), ms);
        run->stepping = nullptr;
    }
}

// While a command is stalled, the simulated clock runs no faster than real
// time from the stall's start, as a game's clock would: the frames after a
// tick that blocked for its bound catch up at once, and the stall covers
// about its ms of the scenario.
static void KeepPaceWithStall()
{
    if (!run->stalledScript)
        return;
    const std::chrono::steady_clock::time_point due =
        run->stallBeganReal + std::chrono::milliseconds(run->now - run->stallBeganAt);
    engineLock.unlock();
    std::this_thread::sleep_until(due);
    engineLock.lock();
}

// The run's end lets go of a command still stalled: its wait ends and it
// leaves the interpreter unrun, since nothing is recorded after the end. The
// run waits for that within the bound; a thread that does not come back (one
// the module terminated inside its stall) is left where it is.
static void LetGoOfStall()
{
    run->ended = true;
    threadServices.releaseStalls(true);
    const std::chrono::steady_clock::time_point giveUpAt =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kHostCallBoundMs);
    while (run->stalledScript && std::chrono::steady_clock::now() < giveUpAt) {
        engineLock.unlock();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        engineLock.lock();
    }
}

RunResult RunHost(const Scenario& scenario, const EngineBinding& binding, void (*onRecord)(const TraceRecord&),
                  HostFrameCallback beforeFrame, TraceKept kept)
{
    std::unique_lock<std::recursive_mutex> hold(engineLock);
    static EngineRun* previous = nullptr;
    delete previous;
    run = new EngineRun;
    previous = run;
    ++runsStarted;
    run->hostThread = threadServices.currentThread();
    threadServices.releaseStalls(false);
    run->scenario = scenario;
    run->binding = binding;
    run->onRecord = onRecord;
    run->kept = kept;
    StartHostScript(0);

    size_t nextEvent = 0;
    std::vector<ScenarioEvent> events = scenario.events;
    std::stable_sort(events.begin(), events.end(),
                     [](const ScenarioEvent& a, const ScenarioEvent& b) { return a.t < b.t; });
    int64_t endsAt = scenario.endMs;
    for (run->now = 0; run->now <= scenario.endMs; run->now += scenario.frameMs, ++run->frame) {
        KeepPaceWithStall();
        if (beforeFrame && !beforeFrame(run->now)) {
            endsAt = std::max<int64_t>(0, run->now - scenario.frameMs);
            break;
        }
        while (nextEvent < events.size() && events[nextEvent].t <= run->now)
            ApplyEvent(events[nextEvent++]);
        WalkPlayer();
        StepTraffic(run->world, scenario.frameMs / 1000.0f);
        StepScripts();
    }
    run->now = endsAt;
    LetGoOfStall();
    TraceRecord end;
    end.kind = "end";
    Record(end);
    return run->result;
}
