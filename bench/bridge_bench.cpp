// The command bridge: CallCommand for the short form and the two longest,
// against an interpreter that does nothing, with the allocation calls made
// meanwhile. Runs on the linked module as the last boot tick left it.
#include "bench/bench_runs.h"
#include "bench/benches.h"
#include "game/command_catalogue.h"
#include "host/host_addresses.h"
#include "host/hook_work.h"
#include "script/command.h"
#include "script/scheduler.h"

using namespace hostsim;

static const int kRounds = 5;
static const int kCallsPerRound = 200000;

static void HOST_CALLBACK InterpretNothing(HostScript*)
{
}

static void SendShortForm(int32_t* handle)
{
    (void)handle;
    CallCommand(kShowText, "!WELC_1", 5000, 1);  // "sii"
}

static void SendZoneForm(int32_t* handle)
{
    (void)handle;
    CallCommand(kSetZoneInfoA, "HOSPI", 1, 11, 22, 33, 44, 55, 66, 77, 88, 99, 110, 121);  // "siiiiiiiiiiii"
}

static void SendGeneratorForm(int32_t* handle)
{
    CallCommand(kCreateCarGenerator, 1002.5f, -461.25f, 55.75f, 90.0f, 191, 0, 0, 0, 0, 0, 0, 0,
                handle);  // "ffffiiiiiiiiv"
}

struct BridgeForm {
    const char* form;
    void (*send)(int32_t* handle);
};

// clang-format off
static const BridgeForm kForms[] = {
    { "sii", SendShortForm },
    { "siiiiiiiiiiii", SendZoneForm },
    { "ffffiiiiiiiiv", SendGeneratorForm },
};
// clang-format on

std::vector<BridgeFigure> MeasureBridge()
{
    // The boot record holds the turn: the command bridge finds it first.
    hostAddresses.interpreter = reinterpret_cast<uintptr_t>(&InterpretNothing);
    static HostScript record;
    ReinitScripts();
    ScriptTick(&record);
    LetNewThreadsPark();

    std::vector<BridgeFigure> figures;
    for (const BridgeForm& form : kForms) {
        int32_t handle = 0;
        std::vector<double> ns;
        ns.reserve(kRounds);  // nothing of the benchmark's own allocates while it counts
        const int64_t allocationsBefore = AllocationCalls();
        for (int round = 0; round < kRounds; ++round) {
            const int64_t start = NowNs();
            for (int n = 0; n < kCallsPerRound; ++n)
                form.send(&handle);
            ns.push_back(double(NowNs() - start) / kCallsPerRound);
        }
        const int64_t allocations = AllocationCalls() - allocationsBefore;
        figures.push_back({ form.form, Median(ns), int64_t(kRounds) * kCallsPerRound, allocations });
    }
    ReinitScripts();
    AttachLinkedModule();
    return figures;
}
