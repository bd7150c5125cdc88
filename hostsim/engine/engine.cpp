// The substitute host's engine: the run's state and records, script
// threads and stalls, and the one-command interpreter, which decodes a
// command by the host's table and runs its handler.
#include <condition_variable>
#include <cstring>

#include "hostsim/commands/command_handlers.h"
#include "hostsim/record/snapshot.h"

namespace hostsim {

std::recursive_mutex engineLock;

static const size_t kScriptSpaceSize = 0x1000;
alignas(16) static uint8_t nativeScriptSpace[kScriptSpaceSize];

EngineRun* engineRun = nullptr;
uint64_t runsStarted = 0;
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

EngineThreadServices threadServices = { CppCurrentThread, CppStall, CppReleaseStalls };

void SetEngineThreadServices(const EngineThreadServices& services)
{
    threadServices = services;
}

const HostWorld& CurrentHostWorld()
{
    return engineRun->world;
}

int64_t CurrentHostTime()
{
    return engineRun->now;
}

int16_t EngineKeyState(int virtualKey)
{
    std::lock_guard<std::recursive_mutex> hold(engineLock);
    if (!engineRun || virtualKey < 0 || virtualKey > 255)
        return 0;
    return engineRun->keys[virtualKey];
}

void SetHostKey(int virtualKey, bool held)
{
    std::lock_guard<std::recursive_mutex> hold(engineLock);
    if (engineRun && virtualKey >= 0 && virtualKey <= 255)
        engineRun->keys[virtualKey] = held ? static_cast<int16_t>(0x8000) : 0;
}

void RecordTrace(TraceRecord record)
{
    record.t = engineRun->now;
    if (record.kind == kErrorRecord)
        ++engineRun->result.errors;
    if (engineRun->onRecord)
        engineRun->onRecord(record);
    if (engineRun->kept == kWholeTrace)
        engineRun->result.trace.push_back(std::move(record));
}

void ReportHostError(const std::string& what)
{
    std::lock_guard<std::recursive_mutex> hold(engineLock);
    TraceRecord record;
    record.kind = kErrorRecord;
    record.what = what;
    RecordTrace(record);
}

TraceRecord SnapshotRecord()
{
    std::lock_guard<std::recursive_mutex> hold(engineLock);
    TraceRecord record;
    record.t = engineRun->now;
    record.kind = kWorldRecord;
    record.world = WorldJson(engineRun->world);
    RecordTrace(record);
    return record;
}

EngineScript* StartHostScript(uint32_t instructionPointer)
{
    std::unique_ptr<EngineScript> script(new EngineScript);
    memset(&script->record, 0, sizeof script->record);
    WriteInstructionPointer(&script->record, instructionPointer);
    script->number = engineRun->nextScriptNumber++;
    script->wakeAt = engineRun->now;
    engineRun->scripts.push_back(std::move(script));
    return engineRun->scripts.back().get();
}

EngineScript* ScriptOfRecord(HostScript* record)
{
    for (const std::unique_ptr<EngineScript>& script : engineRun->scripts)
        if (&script->record == record)
            return script.get();
    return nullptr;
}

int32_t NewHostHandle()
{
    return engineRun->nextHandle++;
}

// A stalled command is still being run: a command of any script arriving
// meanwhile is a second runner. A stalled command of a script that a
// re-initialisation dropped no longer counts, so the boot after it goes on.
static bool OneCommandAtATime(const EngineScript* script)
{
    EngineScript* stalled = engineRun->stalledScript;
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
    if (thread == engineRun->hostThread)
        return true;
    for (const std::unique_ptr<EngineScript>& other : engineRun->scripts)
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
// host's time of its end. A game's interpreter reads its command as it runs
// it, so the command's bytes must be as they were sent until then. False
// when the run ended meanwhile: the command is let go of, unrun.
static bool Stall(const DecodedCommand& command, const uint8_t* code, EngineScript* script,
                  std::unique_lock<std::recursive_mutex>& hold)
{
    const ScenarioEvent stall = engineRun->armedStalls.front();
    engineRun->armedStalls.pop_front();
    TraceRecord record;
    record.kind = kStallRecord;
    record.script = script->number;
    record.id = command.id;
    record.ms = static_cast<int>(stall.stallMs);
    RecordTrace(record);
    engineRun->stalledScript = script;
    engineRun->stallBeganAt = engineRun->now;
    engineRun->stallBeganReal = std::chrono::steady_clock::now();
    const uint64_t runOfStall = runsStarted;
    const std::vector<uint8_t> sent(code, code + command.length);
    hold.unlock();
    threadServices.stall(stall.stallMs, stall.stallHolds);
    hold.lock();
    if (runsStarted != runOfStall)
        return false;  // a later run: this one and its scripts are gone
    engineRun->stalledScript = nullptr;
    if (engineRun->ended)
        return false;
    if (memcmp(code, sent.data(), sent.size()) != 0)
        ReportHostError("command " + CommandIdText(command.id) + " on script " + std::to_string(script->number) +
                        " changed in script space while it was stalled");
    return true;
}

void HOST_CALLBACK EngineInterpret(HostScript* record)
{
    std::unique_lock<std::recursive_mutex> hold(engineLock);
    if (!engineRun || engineRun->ended)
        return;
    EngineScript* script = ScriptOfRecord(record);
    if (!engineRun->stepping) {
        ReportHostError("command outside a tick");
        return;
    }
    if (script != engineRun->stepping) {
        ReportHostError("command on a record other than the stepped script's");
        return;
    }
    const uint64_t thread = threadServices.currentThread();
    if (!OneCommandAtATime(script) || !FromItsOwnThread(script, thread))
        return;
    const uint8_t* code = reinterpret_cast<const uint8_t*>(
        reinterpret_cast<uintptr_t>(scriptSpace) +
        static_cast<uintptr_t>(static_cast<intptr_t>(static_cast<int32_t>(ReadInstructionPointer(record)))));
    DecodedCommand command;
    std::string problem;
    if (!DecodeCommand(code, record, &command, &problem)) {
        ReportHostError(problem);
        return;
    }
    // The first command a script thread sends once a stall's time has come.
    if (!engineRun->armedStalls.empty() && thread != engineRun->hostThread && !Stall(command, code, script, hold))
        return;
    // A command the host does not imitate is decoded and recorded, no more.
    if (command.row->handler)
        command.row->handler(command, script);

    TraceRecord trace;
    trace.kind = kCommandRecord;
    trace.script = script->number;
    trace.id = command.id;
    trace.args = command.args;
    trace.cond = ReadCondition(record) ? 1 : 0;
    for (int slot : command.variableSlots)
        trace.out.push_back(ReadLocal(record, slot));
    RecordTrace(trace);
}

}  // namespace hostsim
