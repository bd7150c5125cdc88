// Seeded scenarios for the reliability tests, and the checks of their
// traces: re-initialisations at random moments of the scripts' life, and a
// soak of random keys. A seed gives the same scenario in every build, so a
// failure natively or under Wine can be replayed with tools/hostsim.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "hostsim/record/trace.h"
#include "tests/trace_helpers.h"

using namespace hostsim;

// splitmix64: small, and the same sequence on every compiler.
struct SeededRandom {
    uint64_t state;

    explicit SeededRandom(uint64_t seed)
        : state(seed)
    {
    }

    uint64_t Next()
    {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // From low to high, both included.
    int64_t Between(int64_t low, int64_t high)
    {
        return low + static_cast<int64_t>(Next() % static_cast<uint64_t>(high - low + 1));
    }
    template <typename T, size_t N>
    const T& OneOf(const T (&choices)[N])
    {
        return choices[Next() % N];
    }
};

// The seed of a seeded test: BRINDLE_SEED when it is set, to replay a
// failure, otherwise the test's own.
inline uint64_t TestSeed(uint64_t own)
{
    const char* given = getenv("BRINDLE_SEED");
    return given ? strtoull(given, nullptr, 0) : own;
}

// Writes the scenario where a failed test can be replayed from and returns
// what to tell the reader.
inline std::string KeepScenarioForReplay(const std::string& name, uint64_t seed, const std::string& scenario)
{
    const std::string path = name + "-" + std::to_string(seed) + ".scn";
    FILE* file = fopen(path.c_str(), "wb");
    if (file) {
        fwrite(scenario.data(), 1, scenario.size(), file);
        fclose(file);
    }
    return "seed " + std::to_string(seed) + " (BRINDLE_SEED=" + std::to_string(seed) +
           " runs it again); scenario kept in " + path + " for tools/hostsim";
}

// A count of the process's threads or handles as it stands once a thread
// that is ending has gone: the system may list a thread for a moment after
// it was seen to end. Read again until it is the expected count, or, with
// none expected (-1), until it has held still for 200 ms; 1 s at most, well
// inside the bound the host puts on the tick that samples it.
template <typename CountNow>
int SettledCount(CountNow countNow, int expected)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point giveUp = Clock::now() + std::chrono::seconds(1);
    int count = countNow();
    Clock::time_point stillSince = Clock::now();
    while (Clock::now() < giveUp) {
        if (expected >= 0 ? count == expected : Clock::now() - stillSince >= std::chrono::milliseconds(200))
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        const int again = countNow();
        if (again != count)
            stillSince = Clock::now();
        count = again;
    }
    return count;
}

inline std::string AtTime(int64_t t, const std::string& what)
{
    return "at " + std::to_string(t) + " " + what + "\n";
}

static const int64_t kCycleArrivalMs = 20000;  // the player walks to the start point, after the cut-scene
static const int64_t kFrameMs = 20;
static const char kStartPointLine[] = "player 1003.09 -456.49 55.74";
// Car 1's first catalogue starts at this model; the re-initialisation soak's
// host never makes it available, so Insert + '5' waits for it for ever.
static const int32_t kNeverModel = 130;

// --- Re-initialisation at random moments ----------------------------------------

enum CycleKind {
    kMidCutscene,
    kInFadeWait,
    kMidTutorial,
    kInModelChoice,
    kInModelWait,
};
// clang-format off
static const char* const kCycleKindNames[] = {
    "mid cut-scene", "during a fade wait", "mid tutorial", "inside a model choice", "during a model wait",
};
// clang-format on
static const int kCycleKindCount = sizeof kCycleKindNames / sizeof kCycleKindNames[0];

// Moments of a boot of the scripts, counted from the boot, in a host that has
// every model the cycles use loaded already (after the warm-up cycle).
struct CycleTimes {
    int64_t markerAt = -1;                           // the start marker is placed: the cut-scene is over
    std::vector<std::pair<int64_t, int64_t>> fades;  // fades of the cut-scene and the studio's set-up
    int64_t invitationAt = -1;                       // "!WELC_3": the tutorial begins
    int64_t reminderAt = -1;                         // "!SENTI": tutorial and set-up are over
    int64_t skippedReadyAt = -1;                     // the main loop's first wait when Space skipped the tutorial
};

struct ReinitCycle {
    CycleKind kind;
    int64_t boot;      // the re-initialisation before it, or 0
    int64_t reinitAt;  // the re-initialisation that ends it
};

struct ReinitPlan {
    std::vector<ReinitCycle> cycles;
    int64_t shutdownAt = 0;
    std::string scenario;
};

static const int64_t kWarmUpMs = 120000;
static const int64_t kProbeCycleMs = 120000;
static const int64_t kAfterShutdownMs = 5000;

inline std::string ReinitScenarioHeader()
{
    // The leading re-initialisation makes every run start from a fresh boot,
    // whatever ran in the process before.
    return "frame " + std::to_string(kFrameMs) + "\nmodel-never " + std::to_string(kNeverModel) + "\n" +
           AtTime(0, "reinit");
}

// What the user does in a cycle of the kind that boots at boot.
inline std::string CycleInputs(CycleKind kind, int64_t boot, int64_t skippedReadyAt)
{
    std::string lines;
    if (kind == kMidCutscene)
        return lines;
    lines += AtTime(boot + kCycleArrivalMs, kStartPointLine);
    if (kind == kInFadeWait || kind == kMidTutorial)
        return lines;
    const char* keys = kind == kInModelChoice ? "INSERT 1" : "INSERT 5";
    lines += AtTime(boot + kCycleArrivalMs, "keydown SPACE");
    lines += AtTime(boot + skippedReadyAt, "keyup SPACE");
    lines += AtTime(boot + skippedReadyAt, std::string("keydown ") + keys);
    lines += AtTime(boot + skippedReadyAt + 600, std::string("keyup ") + keys);
    return lines;
}

inline std::string EndCycle(int64_t at, const char* how)
{
    return AtTime(at, "keyup SPACE INSERT 1 5") + AtTime(at, how);
}

// The probe: a warm-up cycle that watches the tutorial, the same again, and
// a cycle that skips it with Space held until long after the main loop starts.
inline std::string ReinitProbeScenario()
{
    const int64_t watched = kWarmUpMs, skipped = kWarmUpMs + kProbeCycleMs;
    return ReinitScenarioHeader() + CycleInputs(kMidTutorial, 0, 0) + EndCycle(watched, "reinit") +
           CycleInputs(kMidTutorial, watched, 0) + EndCycle(skipped, "reinit") +
           AtTime(skipped + kCycleArrivalMs, kStartPointLine) + AtTime(skipped + kCycleArrivalMs, "keydown SPACE") +
           "end " + std::to_string(skipped + kProbeCycleMs) + "\n";
}

// The records of the trace from the first at or after from up to, not
// including, the first at or after to.
inline std::vector<TraceRecord> RecordsBetween(const std::vector<TraceRecord>& trace, int64_t from, int64_t to)
{
    std::vector<TraceRecord> records;
    for (const TraceRecord& record : trace)
        if (record.t >= from && record.t < to && record.kind != kReinitRecord)
            records.push_back(record);
    return records;
}

inline bool ReadCycleTimes(const std::vector<TraceRecord>& trace, CycleTimes* times, std::string* problem)
{
    const int64_t watched = kWarmUpMs, skipped = kWarmUpMs + kProbeCycleMs;
    const std::vector<TraceRecord> cycle = RecordsBetween(trace, watched, skipped);
    for (const TraceRecord& record : cycle) {
        const int64_t t = record.t - watched;
        if (IsCommand(record, kPlaceMarkerAtPoint.id) && times->markerAt < 0)
            times->markerAt = t;
        if (IsText(record, "!WELC_3"))
            times->invitationAt = t;
        if (IsText(record, "!SENTI"))
            times->reminderAt = t;
    }
    // The fades that a script waits out, polling for their end; the boot's
    // own fade is cut short by the cut-scene's first one.
    for (size_t n = 0; n < cycle.size(); ++n) {
        const TraceRecord& fade = cycle[n];
        const int64_t t = fade.t - watched;
        if (fade.kind != kCommandRecord || fade.id != kFade.id || t <= 0 || t >= times->reminderAt ||
            fade.args[0].i < 500)
            continue;
        bool waited = false;
        for (size_t m = n + 1; m < cycle.size() && cycle[m].t < fade.t + fade.args[0].i; ++m)
            waited |= IsCommand(cycle[m], kIsFading.id) && cycle[m].script == fade.script && cycle[m].cond;
        if (waited)
            times->fades.push_back({ t, t + fade.args[0].i });
    }
    const std::vector<TraceRecord> skip = RecordsBetween(trace, skipped, skipped + kProbeCycleMs);
    const size_t reminder = FindText(skip, "!SENTI");
    for (size_t n = reminder; n < skip.size() && times->skippedReadyAt < 0; ++n)
        if (IsCommand(skip[n], kWait.id) && skip[n].script == skip[reminder].script && skip[n].args[0].i == 250)
            times->skippedReadyAt = skip[n].t - skipped;
    if (times->markerAt < 0 || times->invitationAt < 0 || times->reminderAt < 0 || times->fades.empty() ||
        times->skippedReadyAt < 0) {
        *problem = "the probe run did not show the marker, the tutorial, a fade and the main loop";
        return false;
    }
    return true;
}

inline int64_t OnFrame(int64_t t)
{
    return t / kFrameMs * kFrameMs;
}

// When, from its boot, a cycle of the kind is re-initialised.
inline int64_t MomentOf(CycleKind kind, const CycleTimes& times, SeededRandom& random)
{
    switch (kind) {
    case kMidCutscene:
        return OnFrame(random.Between(40, times.markerAt - 140));
    case kInFadeWait: {
        const std::pair<int64_t, int64_t>& fade = times.fades[random.Next() % times.fades.size()];
        return OnFrame(random.Between(fade.first + 20, fade.second - 40));
    }
    case kMidTutorial:
        return OnFrame(random.Between(times.invitationAt + 20, times.reminderAt - 20));
    case kInModelChoice:
    case kInModelWait:
        return OnFrame(random.Between(times.skippedReadyAt + 700, times.skippedReadyAt + 8700));
    }
    return 0;
}

// The warm-up cycle, then the cycles, each re-initialised at a random moment
// of its kind, then one more boot shut down at a random moment.
inline ReinitPlan PlanReinitCycles(uint64_t seed, int cycleCount, const CycleTimes& times)
{
    SeededRandom random(seed);
    ReinitPlan plan;
    plan.scenario = ReinitScenarioHeader() + CycleInputs(kMidTutorial, 0, 0) + EndCycle(kWarmUpMs, "reinit");
    int64_t boot = kWarmUpMs;
    for (int n = 0; n <= cycleCount; ++n) {
        const CycleKind kind = static_cast<CycleKind>(random.Next() % kCycleKindCount);
        const int64_t end = boot + MomentOf(kind, times, random);
        plan.scenario += CycleInputs(kind, boot, times.skippedReadyAt);
        if (n == cycleCount) {
            plan.scenario += EndCycle(end, "shutdown");
            plan.shutdownAt = end;
            break;
        }
        plan.scenario += EndCycle(end, "reinit");
        plan.cycles.push_back({ kind, boot, end });
        boot = end;
    }
    plan.scenario += "end " + std::to_string(plan.shutdownAt + kAfterShutdownMs) + "\n";
    return plan;
}

// A command as sent, without its time, script and the handles that count on
// across boots: its id and arguments.
inline std::string CommandAsSent(TraceRecord command)
{
    command.t = 0;
    command.script = 0;
    command.out.clear();
    for (TraceArgument& argument : command.args)
        if (argument.kind == 'v')
            argument.i = 0;
    return TraceRecordJson(command);
}

inline std::vector<std::string> BootCommandsAt(const std::vector<TraceRecord>& trace, int64_t t)
{
    std::vector<std::string> commands;
    for (const TraceRecord& record : trace)
        if (record.kind == kCommandRecord && record.t == t)
            commands.push_back(CommandAsSent(record));
    return commands;
}

// True when the cycle's records show the scripts where its kind says.
inline bool CycleWasWhereItsKindSays(CycleKind kind, const std::vector<TraceRecord>& cycle, int64_t reinitAt)
{
    bool marker = false, invitation = false, reminder = false, choice = false, modelWait = false;
    const TraceRecord* lastFade = nullptr;
    for (const TraceRecord& record : cycle) {
        marker |= IsCommand(record, kPlaceMarkerAtPoint.id);
        invitation |= IsText(record, "!WELC_3");
        reminder |= IsText(record, "!SENTI");
        choice |= reminder && IsCommand(record, kCommand020F.id);  // the preview faces the player
        modelWait |= IsCommand(record, kIsModelAvailable.id) && record.args[0].i == kNeverModel;
        if (IsCommand(record, kFade.id))
            lastFade = &record;
    }
    switch (kind) {
    case kMidCutscene:
        return !marker;
    case kInFadeWait:
        return lastFade && lastFade->t + lastFade->args[0].i > reinitAt;
    case kMidTutorial:
        return invitation && !reminder;
    case kInModelChoice:
        return choice && !modelWait;
    case kInModelWait:
        return modelWait;
    }
    return false;
}

// Every failure of the soak's trace, one a line: empty when each
// re-initialisation came where planned and the next tick booted again with
// the same commands, each cycle past the cut-scene placed the marker once,
// and nothing was sent after the shutdown.
inline std::string ReinitCycleFailures(const std::vector<TraceRecord>& trace, const ReinitPlan& plan,
                                       const CycleTimes& times, size_t bootCommandCount)
{
    std::string failures;
    const std::vector<std::string> firstBoot = BootCommandsAt(trace, 0);
    if (firstBoot.size() != bootCommandCount)
        failures += "the first boot sent " + std::to_string(firstBoot.size()) + " commands\n";
    std::vector<ReinitCycle> cycles = plan.cycles;
    cycles.push_back({ kMidCutscene, cycles.empty() ? kWarmUpMs : cycles.back().reinitAt, plan.shutdownAt });
    int kindsSeen[kCycleKindCount] = {};
    for (size_t n = 0; n < cycles.size(); ++n) {
        const ReinitCycle& cycle = cycles[n];
        const std::string name = "cycle " + std::to_string(n + 1) + " (boot at " + std::to_string(cycle.boot) + ")";
        if (BootCommandsAt(trace, cycle.boot) != firstBoot)
            failures += name + ": the tick after the re-initialisation did not boot as the first did\n";
        const std::vector<TraceRecord> records = RecordsBetween(trace, cycle.boot, cycle.reinitAt);
        int markers = 0, studios = 0;
        for (const TraceRecord& record : records) {
            markers += IsCommand(record, kPlaceMarkerAtPoint.id);
            studios += IsCommand(record, kStartScript.id);
        }
        const bool pastCutscene = cycle.reinitAt - cycle.boot > times.markerAt;
        if (markers != (pastCutscene ? 1 : 0))
            failures += name + ": " + std::to_string(markers) + " start markers placed\n";
        if (studios > 1)
            failures += name + ": the studio started " + std::to_string(studios) + " times\n";
        if (n + 1 < cycles.size()) {
            if (!CycleWasWhereItsKindSays(cycle.kind, records, cycle.reinitAt))
                failures += name + ": re-initialised at " + std::to_string(cycle.reinitAt) + ", not " +
                            kCycleKindNames[cycle.kind] + "\n";
            ++kindsSeen[cycle.kind];
        }
    }
    for (int kind = 0; kind < kCycleKindCount; ++kind)
        if (kindsSeen[kind] == 0 && plan.cycles.size() >= 50)
            failures += std::string("no cycle was re-initialised ") + kCycleKindNames[kind] + "\n";
    bool shutDown = false;
    for (const TraceRecord& record : trace) {
        if (record.kind == kShutdownRecord)
            shutDown = true;
        else if (shutDown && (record.kind == kCommandRecord || record.kind == kTextRecord)) {
            failures +=
                "command " + CommandAsSent(record) + " sent at " + std::to_string(record.t) + ", after the shutdown\n";
            break;
        }
    }
    if (!shutDown)
        failures += "no shutdown\n";
    return failures;
}

// --- Random keys ------------------------------------------------------------------

// A soak of random key holds and releases after the arrival: creation and
// deletion rows, the text and clock switches, modifiers with letters and other
// keys, Tab with function and paging keys, the car keys, paging bursts,
// Backspace and Space, some at once, held from one frame to over a second.
inline std::string KeyFuzzScenario(uint64_t seed, int64_t minutes)
{
    static const char* const creation[] = { "INSERT", "DELETE" };
    static const char* const digits[] = { "0", "1", "2", "3", "4", "5", "6", "7", "8", "9" };
    static const char* const studioKeys[] = { "INSERT S",    "INSERT T", "DELETE T", "INSERT 9",
                                              "DELETE BACK", "INSERT 0", "DELETE 0" };
    static const char* const modifiers[] = { "LSHIFT", "LCONTROL", "LMENU", "RMENU", "RCONTROL", "RSHIFT" };
    static const char* const seconds[] = { "A", "B", "C",         "D",          "E",     "F",    "G",     "H",   "I",
                                           "J", "K", "L",         "M",          "N",     "O",    "P",     "Q",   "R",
                                           "S", "T", "U",         "V",          "W",     "X",    "Y",     "Z",   "1",
                                           "5", "9", "OEM_COMMA", "OEM_PERIOD", "SPACE", "BACK", "PRIOR", "NEXT" };
    static const char* const tabSeconds[] = { "F1", "F2",  "F3",  "F4",  "F5",    "F6",    "F7",  "F8",
                                              "F9", "F10", "F11", "F12", "SPACE", "PRIOR", "NEXT" };
    static const char* const carModifiers[] = { "HOME", "END" };
    static const char* const paging[] = { "PRIOR", "NEXT" };

    SeededRandom random(seed);
    std::string lines = "frame " + std::to_string(kFrameMs) + "\n";
    lines += AtTime(kCycleArrivalMs, kStartPointLine);
    if (random.Next() % 2)
        lines += AtTime(kCycleArrivalMs, "keydown SPACE") + AtTime(kCycleArrivalMs + 30000, "keyup SPACE");
    const int64_t end = minutes * 60000;
    for (int64_t t = kCycleArrivalMs + 30000; t < end; t += random.Between(0, 800)) {
        std::string keys;
        switch (random.Next() % 16) {
        case 0:
        case 1:
        case 2:
            keys = std::string(random.OneOf(creation)) + " " + random.OneOf(digits);
            break;
        case 3:
        case 4:
            keys = random.OneOf(studioKeys);
            break;
        case 5:
        case 6:
        case 7:
            keys = std::string(random.OneOf(modifiers)) + " " + random.OneOf(seconds);
            break;
        case 8:
            keys = std::string("TAB ") + random.OneOf(tabSeconds);
            break;
        case 9:
            keys = std::string(random.OneOf(carModifiers)) + " " + random.OneOf(seconds);
            break;
        case 10:
        case 11:
        case 12:
            keys = random.OneOf(paging);
            break;
        case 13:
        case 14:
            keys = "BACK";
            break;
        default:
            keys = "SPACE";
            break;
        }
        const int64_t held = random.Between(1, 75) * kFrameMs;
        lines += AtTime(t, "keydown " + keys) + AtTime(std::min(t + held, end), "keyup " + keys);
    }
    lines += "end " + std::to_string(end) + "\n";
    return lines;
}
