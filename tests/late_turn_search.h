// A randomized search of the late turn: seeded scenarios with stalls of every
// kind, the host busy in its own code, shutdowns and re-initialisations
// around them from the host's thread and from a second host thread, and
// studio keys; and what must hold of every run's trace, read from outside.
// The same seed gives the same scenario natively and under Wine, and
// tools/hostsim replays a kept one.
#pragma once

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "hostsim/engine/engine.h"
#include "hostsim/engine/scenario.h"
#include "script/scheduler.h"
#include "tests/reliability_scenarios.h"

// How long the stalls last, in real ms: a short one ends within the bound,
// one just past it ends within the teardown's bound after the tick gave up,
// and one past the teardown's bound outlasts a teardown in the frame after
// the stall's. One that holds the heap or the host's lock holds the game's
// own code with it, the boot's allocations among them: past the teardown it
// ends when the stall tests' own does, so that what the game waits for it
// after the tick gave up stays within the bound.
enum SearchStallKind { kShortStall, kJustPastTheBound, kPastTheTeardown, kForever };

inline int64_t SearchStallMs(SearchStallKind kind, bool holds, SeededRandom& random)
{
    switch (kind) {
    case kShortStall:
        return random.Between(50, 400);
    case kJustPastTheBound:
        return kTickBoundMs + random.Between(50, 400);
    case kPastTheTeardown:
        return 2 * kTickBoundMs + random.Between(100, holds ? 300 : 600);
    case kForever:
        break;
    }
    return kStallForever;
}

// The studio as the stall tests reach it; its main loop takes turns every
// 250 ms from about 26.4 s.
static const int64_t kSearchStudioFrom = 27000;
// In the cut-scene the welcome thread polls a fade every frame from 13.5 s.
static const int64_t kSearchCutSceneFrom = 13500;

// clang-format off
static const char* const kSearchStudioKeys[] = {
    "INSERT 1", "INSERT 2", "INSERT 4", "INSERT 5", "INSERT 7", "INSERT 9", "INSERT 0", "INSERT T",
    "DELETE 1", "DELETE 5", "DELETE 0", "DELETE T", "DELETE BACK", "LSHIFT A", "TAB F1", "HOME 1",
};
static const char* const kSearchHolds[] = { "", " heap", " hostlock" };
// clang-format on

// The host version of a seed's scenario: under Wine each version runs in a
// process of its own, with the seeds of its version.
inline int SearchVersion(uint64_t seed)
{
    return 1 + static_cast<int>(seed % 2);
}

// The scenario of a seed: two in three reach the studio first.
inline std::string LateTurnScenario(uint64_t seed)
{
    SeededRandom random(seed);
    const bool studio = random.Between(0, 2) != 0;
    std::string events = "version " + std::to_string(SearchVersion(seed)) + "\nframe " + std::to_string(kFrameMs) +
                         "\n" + AtTime(0, "reinit");
    int64_t from = kSearchCutSceneFrom;
    if (studio) {
        from = kSearchStudioFrom;
        events +=
            AtTime(kCycleArrivalMs, kStartPointLine) + AtTime(23000, "keydown SPACE") + AtTime(24500, "keyup SPACE");
        for (int64_t keys = random.Between(1, 3); keys > 0; --keys) {
            const std::string pressed = random.OneOf(kSearchStudioKeys);
            const int64_t down = random.Between(from - 1000, from + 2000);
            events += AtTime(down, "keydown " + pressed) + AtTime(down + random.Between(300, 700), "keyup " + pressed);
        }
    }
    const int64_t around = from + random.Between(0, 1000);
    int64_t lastAt = around;
    int64_t lastStallEnd = around;
    bool forever = false;
    for (int64_t stalls = random.Between(1, 2); stalls > 0; --stalls) {
        const SearchStallKind kind = static_cast<SearchStallKind>(random.Between(0, forever ? 2 : 3));
        const int64_t at = around + random.Between(0, 400);
        const std::string holds = kind == kForever ? "" : random.OneOf(kSearchHolds);
        const int64_t ms = SearchStallMs(kind, !holds.empty(), random);
        forever |= kind == kForever;
        events += AtTime(at, "stall " + (kind == kForever ? "forever" : std::to_string(ms) + holds));
        if (kind != kForever)
            lastStallEnd = std::max(lastStallEnd, at + ms);
    }
    if (random.Between(0, 2) == 0) {
        const int64_t at = around + random.Between(0, 1500);
        events += AtTime(at, "busy " + std::to_string(random.Between(100, 900)));
    }
    int64_t teardownAt = around + random.Between(-100, 1500);
    for (int64_t teardowns = random.Between(0, 3); teardowns > 0; --teardowns) {
        std::string call = random.Between(0, 2) == 0 ? "shutdown" : "reinit";
        if (random.Between(0, 1) == 0)
            call += " second-thread " + std::to_string(random.Between(0, 1200));
        events += AtTime(std::max<int64_t>(teardownAt, 0), call);
        lastAt = std::max(lastAt, teardownAt);
        // One after another, or a while later.
        teardownAt += random.Between(0, 1) == 0 ? random.Between(0, 60) : random.Between(200, 1500);
    }
    // The stalled commands that end come back within the run.
    const int64_t endMs = std::max(lastAt + 1500, lastStallEnd + random.Between(1200, 2000));
    return events + "end " + std::to_string(endMs) + "\n";
}

// The boots in a trace: each begins with the boot's mark ("MAIN") on script
// 0 and goes on, at one time and with nothing else between, for at most a
// boot's commands; a late command of an earlier boot's thread may come right
// after it.
static const size_t kSearchBootCommands = 768;

inline bool IsTeardown(const TraceRecord& record)
{
    return record.kind == kReinitRecord || record.kind == kShutdownRecord;
}

struct BootRun {
    size_t first, last;  // trace indices, last included
};

inline bool IsBootMark(const TraceRecord& record)
{
    return record.kind == kCommandRecord && record.script == 0 && record.id == kSetScriptName.id &&
           !record.args.empty() && record.args[0].s == "MAIN";
}

inline std::vector<BootRun> BootsOf(const std::vector<TraceRecord>& trace)
{
    std::vector<BootRun> boots;
    for (size_t n = 0; n < trace.size(); ++n) {
        if (!IsBootMark(trace[n]))
            continue;
        size_t end = n;
        while (end < trace.size() && end - n < kSearchBootCommands && trace[end].kind == kCommandRecord &&
               trace[end].script == 0 && trace[end].t == trace[n].t)
            ++end;
        boots.push_back({ n, end - 1 });
    }
    return boots;
}

// What must hold of a run's trace: it ended, with no host error; every
// stalled command that ended well before the run's end was recorded, so its
// thread was not killed inside the host; every boot sent all its commands but
// one a teardown cut short; and every re-initialisation that the run leaves
// time for was followed by a whole boot.
inline std::string LateTurnSearchFailures(const std::vector<TraceRecord>& trace)
{
    std::string failures = Errors(trace);
    if (trace.empty() || trace.back().kind != kEndRecord)
        return failures + "the run did not end\n";
    const int64_t end = trace.back().t;
    for (size_t n = 0; n < trace.size(); ++n) {
        const TraceRecord& stall = trace[n];
        // The simulated clock runs no faster than real time from a stall's
        // start, so a stall whose ms had passed a second before the end
        // ended within the run; its command is recorded by its ms and a
        // little more, since the clock may lag but never lead.
        if (stall.kind != kStallRecord || stall.ms < 0 || stall.t + stall.ms + 1000 >= end)
            continue;
        bool recorded = false;
        for (size_t m = n + 1; m < trace.size() && trace[m].t <= stall.t + stall.ms + 500 && !recorded; ++m)
            recorded = trace[m].kind == kCommandRecord && trace[m].script == stall.script && trace[m].id == stall.id;
        if (!recorded)
            failures += "the command " + CommandIdText(stall.id) + " of script " + std::to_string(stall.script) +
                        " stalled at t=" + std::to_string(stall.t) + " for " + std::to_string(stall.ms) +
                        " ms was never recorded\n";
    }
    const std::vector<BootRun> boots = BootsOf(trace);
    for (const BootRun& boot : boots) {
        const size_t count = boot.last - boot.first + 1;
        const bool cut = (boot.first > 0 && IsTeardown(trace[boot.first - 1])) ||
                         (boot.last + 1 < trace.size() && IsTeardown(trace[boot.last + 1]));
        if (count != kSearchBootCommands && !cut)
            failures += "the boot at t=" + std::to_string(trace[boot.first].t) + " sent " + std::to_string(count) +
                        " commands\n";
    }
    for (size_t n = 0; n < trace.size(); ++n) {
        if (trace[n].kind != kReinitRecord)
            continue;
        // A shutdown after the call does not stop the boot it asked for: the
        // next re-initialisation does.
        size_t next = n + 1;
        while (next < trace.size() && trace[next].kind != kReinitRecord)
            ++next;
        // A boot needs a frame or two after the call, and the next
        // re-initialisation may come before it.
        // A call from the second host thread may be held by the game's own
        // code (a stall holding its lock or heap) past the next one: the
        // boot it asked for may come after that one's, and is looked for
        // up to the run's end. So may one whose boot the game's own code
        // held until a call from the second thread had asked for the next:
        // that boot stands for both.
        if (trace[n].fromSecondThread || (next < trace.size() && trace[next].fromSecondThread))
            next = trace.size();
        const int64_t until = next < trace.size() ? trace[next].t : end;
        if (until - trace[n].t < 200)
            continue;
        bool booted = false;
        for (const BootRun& boot : boots)
            booted |= boot.first > n && boot.last < next && boot.last - boot.first + 1 == kSearchBootCommands;
        if (!booted)
            failures += "no whole boot after the re-initialisation at t=" + std::to_string(trace[n].t) + "\n";
    }
    return failures;
}

// How many seeds a search runs: BRINDLE_SEARCH_RUNS when it is set (the
// longer searches of tools/late_turn_search), otherwise the test's own.
inline uint64_t SearchRuns(uint64_t own)
{
    const char* given = getenv("BRINDLE_SEARCH_RUNS");
    return given ? strtoull(given, nullptr, 0) : own;
}

// A run that does not end within its simulated length and this much more
// real time hangs the game: the search says which seed and ends the process,
// since nothing can take the host's thread back from the module.
static const int64_t kHangAfterMs = 30000;

class HangWatch {
public:
    HangWatch(uint64_t seed, const std::string& scenario, int64_t givenMs)
        : watcher([this, seed, scenario, givenMs] {
            std::unique_lock<std::mutex> hold(lock);
            if (ended.wait_for(hold, std::chrono::milliseconds(givenMs), [this] { return done; }))
                return;
            printf("the run did not end within %lld ms: %s\n", static_cast<long long>(givenMs),
                   KeepScenarioForReplay("late-turn", seed, scenario).c_str());
            fflush(stdout);
            std::_Exit(1);
        })
    {
    }
    ~HangWatch()
    {
        {
            std::lock_guard<std::mutex> hold(lock);
            done = true;
        }
        ended.notify_one();
        watcher.join();
    }

private:
    std::mutex lock;
    std::condition_variable ended;
    bool done = false;
    std::thread watcher;
};

// The search's loop in both builds: the seeds from first on (with a host
// version, only those of that version), each run through run(scenario) and
// judged by its trace and by levelFailures(), which compares the level one
// more boot leaves with the one before the run and keeps it for the next;
// each run is judged on its own. A failure prints its seed and keeps its
// scenario. Returns how many seeds ran and how many failed.
struct SearchTally {
    int ran;
    int failed;
};

template <typename Run, typename LevelFailures>
SearchTally SearchLateTurns(uint64_t first, uint64_t runs, int version, Run run, LevelFailures levelFailures)
{
    SearchTally tally = { 0, 0 };
    for (uint64_t seed = first; seed < first + runs; ++seed) {
        if (version && SearchVersion(seed) != version)
            continue;
        ++tally.ran;
        const std::string text = LateTurnScenario(seed);
        Scenario scenario;
        std::string problem;
        if (!ParseScenario(text, &scenario, &problem)) {
            ++tally.failed;
            ADD_FAILURE() << "seed " << seed << ": " << problem;
            continue;
        }
        RunResult result;
        {
            HangWatch watch(seed, text, scenario.endMs + kHangAfterMs);
            result = run(scenario);
        }
        const std::string failures = LateTurnSearchFailures(result.trace) + levelFailures();
        if (!failures.empty()) {
            ++tally.failed;
            ADD_FAILURE() << failures << KeepScenarioForReplay("late-turn", seed, text);
        }
    }
    return tally;
}

inline long long SecondsSince(std::chrono::steady_clock::time_point start)
{
    return static_cast<long long>(
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start).count());
}
