// The substitute host's stalls, and the two runners it reports: a command
// that takes a while in the host's interpreter, as in a busy game, and a
// command that arrives while another is being run or from a thread other
// than its script's. Held against a stand-in for the module, so that what is
// tested is the host alone, whatever the module's scheduler does.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

#include "hostsim/engine/engine.h"
#include "tests/trace_helpers.h"

using namespace hostsim;

namespace {

// --- The directive ------------------------------------------------------------------

ScenarioEvent OnlyEvent(const std::string& text)
{
    Scenario scenario;
    std::string error;
    EXPECT_TRUE(ParseScenario(text, &scenario, &error)) << error;
    EXPECT_EQ(scenario.events.size(), 1u) << text;
    return scenario.events.empty() ? ScenarioEvent() : scenario.events[0];
}

std::string ParseError(const std::string& text)
{
    Scenario scenario;
    std::string error;
    EXPECT_FALSE(ParseScenario(text, &scenario, &error)) << text;
    return error;
}

TEST(HostStall, TheDirectiveReadsItsMsOrForeverAndWhatItHolds)
{
    struct Case {
        const char* line;
        int64_t t, ms;
        StallHold holds;
    };
    // clang-format off
    const Case cases[] = {
        { "at 26000 stall 1300", 26000, 1300, kHoldNothing },
        { "at 0 stall 0", 0, 0, kHoldNothing },
        { "at 500 stall 1200 heap", 500, 1200, kHoldHeap },
        { "at 500 stall 1200 hostlock", 500, 1200, kHoldHostLock },
        { "at 40 stall forever", 40, kStallForever, kHoldNothing },
    };
    for (const Case& c : cases) {
        const ScenarioEvent stall = OnlyEvent(c.line);
        EXPECT_EQ(stall.kind, kEventStall) << c.line;
        EXPECT_EQ(stall.t, c.t) << c.line;
        EXPECT_EQ(stall.stallMs, c.ms) << c.line;
        EXPECT_EQ(stall.stallHolds, c.holds) << c.line;
        // A take writes it back as it was written.
        EXPECT_EQ("at " + std::to_string(c.t) + " " + StallDirective(stall), c.line);
    }

    EXPECT_EQ(ParseError("at 10 stall"), "line 1: stall needs a number of ms or forever");
    EXPECT_EQ(ParseError("at 10 stall -5"), "line 1: stall needs a number of ms or forever, not -5");
    EXPECT_EQ(ParseError("at 10 stall 12x"), "line 1: stall needs a number of ms or forever, not 12x");
    EXPECT_EQ(ParseError("at 10 stall 4294967296"), "line 1: stall needs a number of ms or forever, not 4294967296");
    EXPECT_EQ(ParseError("frame 20\nat 10 stall 300 lock"), "line 2: a stall holds heap or hostlock, not lock");
    EXPECT_EQ(ParseError("at 10 stall forever heap"), "line 1: a stall that never ends holds nothing");
    EXPECT_EQ(ParseError("at 10 stall 300 heap now"), "line 1: unexpected now");
}

TEST(HostStall, TheBusyDirectiveReadsItsMs)
{
    const ScenarioEvent busy = OnlyEvent("at 28440 busy 600");
    EXPECT_EQ(busy.kind, kEventBusy);
    EXPECT_EQ(busy.t, 28440);
    EXPECT_EQ(busy.busyMs, 600);
    EXPECT_EQ(ParseError("at 10 busy"), "line 1: busy needs a number of ms");
    EXPECT_EQ(ParseError("at 10 busy -1"), "line 1: busy needs a number of ms");
    EXPECT_EQ(ParseError("at 10 busy 4294967296"), "line 1: busy needs a number of ms");
}

// --- A stand-in for the module -------------------------------------------------------
// Each host script is served by a thread of its own (the first step of the
// first script by the host's own thread, as a boot is); each turn sends one
// command, and the tick waits for it at most kStandInBoundMs, as the module's
// tick gives up at its bound. It gives no turn while a turn runs late, unless
// told to misbehave.

const int64_t kStandInBoundMs = 50;

enum StandInFault {
    kNoFault,
    kResumesDuringALateTurn,  // gives script 1 its turns while script 0's runs late
    kTurnFromAStrayThread,    // one turn of script 0 sent by a thread of no script
    kCrossedThreads,          // one turn of script 1 sent by script 0's thread
    kOverwritesALateCommand,  // writes another command where script 0's late one is
};
// clang-format on
const int kFaultyTurn = 5;

typedef std::vector<uint8_t> CommandBytes;
const CommandBytes kStartScript = { 0xD7, 0x00, 0x01, 0, 0, 0, 0, 0x00 };  // 00D7: a new host script

// 0001: a wait of a few ms, stepped again at the next frame all the same;
// each sender waits its place's number of ms, which tells its commands apart.
CommandBytes Wait(int ms)
{
    return { 0x01, 0x00, 0x01, static_cast<uint8_t>(ms), 0, 0, 0 };
}

// Sends the command from a place of the script space of the sender's own.
void Send(HostScript* record, const CommandBytes& command, int place)
{
    const uint32_t offset = 0x100 * static_cast<uint32_t>(place);
    memcpy(EngineScriptSpace() + offset, command.data(), command.size());
    WriteInstructionPointer(record, offset);
    EngineInterpret(record);
}

class TurnTaker {
public:
    explicit TurnTaker(int place)
        : place_(place)
        , thread_([this] { TakeTurns(); })
    {
    }

    ~TurnTaker()
    {
        std::unique_lock<std::mutex> lock(lock_);
        // A command the host never lets go of would hang the test.
        if (!changed_.wait_for(lock, std::chrono::seconds(2), [this] { return done_; })) {
            fprintf(stderr, "a stand-in thread never came back from the host's interpreter\n");
            std::abort();
        }
        leaving_ = true;
        changed_.notify_all();
        lock.unlock();
        thread_.join();
    }

    bool Late()
    {
        std::lock_guard<std::mutex> lock(lock_);
        return !done_;
    }

    // Its turn: sends the command on the record, waited for within the bound.
    void TakeTurn(HostScript* record)
    {
        std::unique_lock<std::mutex> lock(lock_);
        turn_ = record;
        done_ = false;
        changed_.notify_all();
        changed_.wait_for(lock, std::chrono::milliseconds(kStandInBoundMs), [this] { return done_; });
    }

    int64_t LongestSendMs()
    {
        std::lock_guard<std::mutex> lock(lock_);
        return longestSendMs_;
    }

private:
    void TakeTurns()
    {
        std::unique_lock<std::mutex> lock(lock_);
        for (;;) {
            changed_.wait(lock, [this] { return leaving_ || turn_; });
            if (leaving_)
                return;
            HostScript* record = turn_;
            turn_ = nullptr;
            lock.unlock();
            const std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
            Send(record, Wait(place_), place_);
            const int64_t ms =
                std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
            lock.lock();
            longestSendMs_ = std::max(longestSendMs_, ms);
            done_ = true;
            changed_.notify_all();
        }
    }

    const int place_;
    std::mutex lock_;
    std::condition_variable changed_;
    HostScript* turn_ = nullptr;
    bool done_ = true;
    bool leaving_ = false;
    int64_t longestSendMs_ = 0;
    std::thread thread_;
};

struct StandIn {
    StandInFault fault = kNoFault;
    std::vector<HostScript*> records;                 // this boot's host scripts, by their first step
    std::vector<std::unique_ptr<TurnTaker>> threads;  // the thread of each
    std::vector<std::unique_ptr<TurnTaker>> earlierBoots;
    std::vector<int> turns;  // of each
    int placesGiven = 0;
    bool overwrote = false;  // kOverwritesALateCommand did its write
};
StandIn* standIn = nullptr;

const int kBootPlace = 0;
const int kFirstThreadPlace = 1;  // script 0's thread; then script 1's, and those of the next boot
const int kStrayPlace = 15;

bool ATurnRunsLate()
{
    for (const std::unique_ptr<TurnTaker>& thread : standIn->threads)
        if (thread->Late())
            return true;
    return false;
}

void StandInTick(HostScript* record)
{
    StandIn& module = *standIn;
    const size_t script = std::find(module.records.begin(), module.records.end(), record) - module.records.begin();
    if (script == module.records.size()) {
        module.records.push_back(record);
        module.threads.push_back(std::make_unique<TurnTaker>(kFirstThreadPlace + module.placesGiven++));
        module.turns.push_back(0);
        if (script == 0) {
            Send(record, kStartScript, kBootPlace);
            return;
        }
    }
    TurnTaker& own = *module.threads[script];
    // Once, early in the stall: the host's lock, which the host lets go of
    // and takes again around every call, orders the write before the end.
    if (module.fault == kOverwritesALateCommand && !module.overwrote && module.threads[0]->Late()) {
        const CommandBytes other = Wait(kStrayPlace);
        memcpy(EngineScriptSpace() + 0x100 * kFirstThreadPlace, other.data(), other.size());
        module.overwrote = true;
    }
    if (own.Late() || (module.fault != kResumesDuringALateTurn && ATurnRunsLate()))
        return;
    const int turn = ++module.turns[script];
    if (module.fault == kTurnFromAStrayThread && script == 0 && turn == kFaultyTurn)
        std::thread([record] { Send(record, Wait(kStrayPlace), kStrayPlace); }).join();
    else if (module.fault == kCrossedThreads && script == 1 && turn == kFaultyTurn)
        module.threads[0]->TakeTurn(record);
    else
        own.TakeTurn(record);
}

// Its threads are left alone, and the next boot begins anew.
void StandInReinit()
{
    for (std::unique_ptr<TurnTaker>& thread : standIn->threads)
        standIn->earlierBoots.push_back(std::move(thread));
    standIn->threads.clear();
    standIn->records.clear();
    standIn->turns.clear();
    EngineReinitContinuation();
}

const char16_t* StandInText(const char* key)
{
    return HostOwnText(key);
}

struct StandInRun {
    RunResult result;
    int64_t realMs;         // the whole run
    int64_t longestSendMs;  // the slowest command, as its sender saw it
};

StandInRun RunStandIn(StandInFault fault, const std::string& scenarioText)
{
    Scenario scenario;
    std::string error;
    EXPECT_TRUE(ParseScenario(scenarioText, &scenario, &error)) << error;
    StandIn module;
    module.fault = fault;
    standIn = &module;
    StandInRun run;
    const std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    run.result = RunHost(scenario, { StandInTick, StandInReinit, EngineShutdownContinuation, StandInText });
    run.realMs =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    run.longestSendMs = 0;
    for (const auto* threads : { &module.threads, &module.earlierBoots })
        for (const std::unique_ptr<TurnTaker>& thread : *threads)
            run.longestSendMs = std::max(run.longestSendMs, thread->LongestSendMs());
    standIn = nullptr;
    return run;
}

// The records of one kind, as JSON Lines.
std::string RecordsOfKind(const std::vector<TraceRecord>& trace, RecordKind kind)
{
    std::string lines;
    for (const TraceRecord& record : trace)
        if (record.kind == kind)
            lines += TraceRecordJson(record) + "\n";
    return lines;
}

// --- Stalls --------------------------------------------------------------------------

TEST(HostStall, ACommandTakesItsMsWhileTheHostStepsOnInRealTimeAndTheRestOfTheRunIsNotPaced)
{
    const StandInRun run = RunStandIn(kNoFault, "frame 20\nat 200 stall 600\nend 3000\n");
    ASSERT_EQ(Errors(run.result.trace), "");
    // The first command a script thread sends from 200 on: script 0's wait.
    EXPECT_EQ(RecordsOfKind(run.result.trace, kStallRecord),
              "{\"t\":200,\"kind\":\"stall\",\"script\":0,\"id\":\"0001\",\"ms\":600}\n");
    EXPECT_GE(run.longestSendMs, 600);
    EXPECT_LT(run.longestSendMs, 600 + 400);

    // It is recorded when it ends. Meanwhile the host stepped on, its clock
    // no faster than real time: the stall covers about 600 ms of the run.
    std::vector<int64_t> waits;
    for (const TraceRecord& command : CommandsWithId(run.result.trace, kWait.id))
        if (command.args[0].i == kFirstThreadPlace)
            waits.push_back(command.t);
    const std::vector<int64_t>::const_iterator stalled =
        std::find_if(waits.begin(), waits.end(), [](int64_t t) { return t >= 200; });
    ASSERT_NE(stalled, waits.end());
    EXPECT_GE(*stalled, 200 + 600 - 40);
    EXPECT_LE(*stalled, 200 + 600 + 200);
    // Before and after it, one turn a frame.
    EXPECT_EQ(*(stalled - 1), 180);
    ASSERT_NE(stalled + 1, waits.end());
    EXPECT_EQ(*(stalled + 1), *stalled + 20);
    EXPECT_EQ(waits.back(), 3000);

    // The 2.2 s after the stall ran as fast as ever.
    EXPECT_LT(run.realMs, 600 + 1000);
}

TEST(HostStall, AStallThatNeverEndsIsLetGoOfUnrunAtTheRunsEnd)
{
    const StandInRun run = RunStandIn(kNoFault, "frame 20\nat 200 stall forever\nend 700\n");
    ASSERT_EQ(Errors(run.result.trace), "");
    EXPECT_EQ(RecordsOfKind(run.result.trace, kStallRecord),
              "{\"t\":200,\"kind\":\"stall\",\"script\":0,\"id\":\"0001\",\"ms\":-1}\n");
    // Paced in real time from the stall to the end, and then ended.
    EXPECT_GE(run.realMs, 500 - 40);
    EXPECT_LT(run.realMs, 500 + 500);
    ASSERT_FALSE(run.result.trace.empty());
    EXPECT_EQ(TraceRecordJson(run.result.trace.back()), "{\"t\":700,\"kind\":\"end\"}");
    // The stalled wait never ran; the stand-in's thread came back from it.
    const std::vector<TraceRecord> waits = CommandsWithId(run.result.trace, kWait.id);
    ASSERT_FALSE(waits.empty());
    EXPECT_EQ(waits.back().t, 180);
}

TEST(HostStall, AReinitialisationDuringAStallDropsItsScriptAndTheNextBootGoesOn)
{
    const StandInRun run = RunStandIn(kNoFault, "frame 20\nat 200 stall 400\nat 300 reinit\nend 1000\n");
    ASSERT_EQ(Errors(run.result.trace), "");
    const std::vector<TraceRecord>& trace = run.result.trace;
    const size_t reinit =
        std::find_if(trace.begin(), trace.end(), [](const TraceRecord& r) { return r.kind == kReinitRecord; }) -
        trace.begin();
    ASSERT_LT(reinit, trace.size());
    // The next boot and its threads go on while the stalled command of the
    // dropped script 0 is still being run; that command ends on its own
    // record, which the host kept.
    const auto sentFrom = [&](int place) {
        return std::find_if(trace.begin() + reinit, trace.end(),
                            [place](const TraceRecord& r) { return IsCommand(r, kWait.id) && r.args[0].i == place; }) -
               trace.begin();
    };
    const size_t boot = FindCommand(trace, ::kStartScript.id, reinit);
    const size_t stalled = sentFrom(kFirstThreadPlace);
    const size_t nextBootsThread = sentFrom(kFirstThreadPlace + 2);
    ASSERT_LT(stalled, trace.size());
    EXPECT_EQ(trace[boot].t, 300);
    EXPECT_EQ(trace[nextBootsThread].t, 320);
    EXPECT_GE(trace[stalled].t, 200 + 400 - 40);
    EXPECT_EQ(trace[stalled].script, 0);
}

// A game's interpreter reads a command as it runs it: one whose bytes were
// changed while it was stalled is reported, once.
TEST(HostStall, ACommandChangedInScriptSpaceDuringItsStallIsReported)
{
    const std::string stalled = "frame 20\nat 200 stall 300\nend 1000\n";
    std::vector<std::string> errors;
    for (const TraceRecord& record : RunStandIn(kOverwritesALateCommand, stalled).result.trace)
        if (record.kind == kErrorRecord)
            errors.push_back(record.what);
    EXPECT_EQ(errors,
              std::vector<std::string> { "command 0001 on script 0 changed in script space while it was stalled" });
}

// --- Two runners ---------------------------------------------------------------------

TEST(HostStall, TwoRunnersAreReportedExactlyWhenTheyRun)
{
    const std::string stalled = "frame 20\nat 200 stall 300\nend 1000\n";
    EXPECT_EQ(Errors(RunStandIn(kNoFault, stalled).result.trace), "");

    // Script 1's turns during script 0's stalled command: one error a frame.
    const std::vector<TraceRecord> overlapped = RunStandIn(kResumesDuringALateTurn, stalled).result.trace;
    std::string overlaps;
    int count = 0;
    for (const TraceRecord& record : overlapped)
        if (record.kind == kErrorRecord) {
            ++count;
            if (record.what != "command on script 1 while a command of script 0 is being run" || record.t < 200 ||
                record.t > 200 + 300 + 60)
                overlaps += "t=" + std::to_string(record.t) + " " + record.what + "\n";
        }
    EXPECT_GE(count, 5);
    EXPECT_EQ(overlaps, "");

    const std::string plain = "frame 20\nend 400\n";
    // Script 0 served by the host's own thread at its first step, then by its own.
    EXPECT_EQ(Errors(RunStandIn(kNoFault, plain).result.trace), "");
    // Turns from the first step of script 0 on; the boot's is no turn.
    EXPECT_EQ(Errors(RunStandIn(kTurnFromAStrayThread, plain).result.trace),
              "t=100 command on script 0 from a thread other than its own\n");
    // Script 1 from its first step at 20.
    EXPECT_EQ(Errors(RunStandIn(kCrossedThreads, plain).result.trace),
              "t=100 command on script 1 from the thread of script 0\n");
}

}  // namespace
