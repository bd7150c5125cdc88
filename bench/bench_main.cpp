// The benchmark program: runs the five benchmarks against this build's
// module and prints one table.
//   brindle_bench [--paced-seconds N]   (default 60: one simulated minute)
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench/bench_platform.h"
#include "bench/benches.h"

static void PrintTurn(const std::vector<TurnRow>& turn)
{
    printf("1. The turn (us a host step; reference: two auto-reset events ping-ponged between two threads,\n"
           "   one round before each frame; medians over blocks of 50)\n");
    printf("   %-52s %9s %11s %7s %13s\n", "", "measured", "reference", "ratio", "quartiles");
    for (size_t n = 0; n < turn.size(); ++n) {
        const TurnRow& row = turn[n];
        if (n == 0 || row.oneCore != turn[n - 1].oneCore)
            printf("   %s\n", row.oneCore ? "every thread on one core:"
                                          : "the host's thread on one core, every other thread on the second:");
        char label[96];
        if (row.commandsPerStep > 0)
            snprintf(label, sizeof label, "%s (%.2f cmd/step)", row.what, row.commandsPerStep);
        else
            snprintf(label, sizeof label, "%s", row.what);
        printf("   %-52s %9.2f %11.2f %7.3f  %5.3f-%5.3f\n", label, row.stepUs, row.pingPongUs, row.ratio, row.ratioLow,
               row.ratioHigh);
    }
}

static void PrintBoot(const BootFigures& boot)
{
    printf("2. The boot tick (median of %d boots, a re-initialisation before each; %d to %d commands)\n", boot.boots,
           boot.fewestCommands, boot.mostCommands);
    printf("   %-52s %9s %11s\n", "", "us", "us/command");
    printf("   %-52s %9.1f %11.3f\n", "through the substitute host's interpreter", boot.engineUs,
           boot.engineUs / boot.mostCommands);
    printf("   %-52s %9.1f %11.3f\n", "against an interpreter that does nothing (linked)", boot.aloneUs,
           boot.aloneUs / boot.mostCommands);
}

static void PrintBridge(const std::vector<BridgeFigure>& bridge)
{
    printf("3. The bridge (CallCommand against an interpreter that does nothing; module code, linked)\n");
    printf("   %-52s %9s %11s\n", "", "ns/call", "allocations");
    for (const BridgeFigure& figure : bridge) {
        char label[80];
        snprintf(label, sizeof label, "\"%s\" (%lld calls)", figure.form, static_cast<long long>(figure.calls));
        printf("   %-52s %9.1f %11lld\n", label, figure.ns, static_cast<long long>(figure.allocations));
    }
}

static void PrintIdle(const IdleFigures& idle)
{
    printf("4. An idle studio (no key held)\n");
    printf("   %-52s %9.2f   (the 250 ms wait + %.2f; %d to %d)\n", "host steps of the studio per main-loop pass",
           idle.stepsPerPass, idle.stepsPerPass - 1, idle.fewestSteps, idle.mostSteps);
    printf("   %-52s %9.1f   (%d passes at %d ms a frame)\n", "simulated ms per pass", idle.simulatedMsPerPass,
           idle.passes, idle.frameMs);
    printf("   paced at %d frames a second: %.1f s simulated in %.1f s\n", idle.framesPerSecond, idle.simulatedS,
           idle.wallS);
    const double perMinute = 60.0 / idle.simulatedS;
    printf("   %-52s %9.4f s  %6.3f %% of a core\n", "CPU per simulated minute, the module's script threads",
           idle.scriptCpuS * perMinute, 100.0 * idle.scriptCpuS / idle.wallS);
    printf("   %-52s %9.4f s  %6.3f %% of a core\n", "CPU per simulated minute, the whole process",
           idle.processCpuS * perMinute, 100.0 * idle.processCpuS / idle.wallS);
}

static void PrintMemory(const std::vector<MemorySample>& memory)
{
    printf("5. Memory over time (what the module holds)\n");
    printf("   %-30s %12s %8s %7s %8s %11s %9s\n", "", "heap bytes", "blocks", "events", "threads", "OS threads",
           "handles");
    for (const MemorySample& sample : memory) {
        char handles[16] = "-";
        if (sample.counts.processHandles >= 0)
            snprintf(handles, sizeof handles, "%d", sample.counts.processHandles);
        printf("   %-30s %12lld %8lld %7d %8d %11d %9s\n", sample.when, static_cast<long long>(sample.counts.heapBytes),
               static_cast<long long>(sample.counts.heapBlocks), sample.counts.events, sample.counts.threads,
               sample.counts.osThreads, handles);
    }
}

int main(int argc, char** argv)
{
    int pacedSeconds = 60;
    for (int n = 1; n < argc; ++n) {
        if (strcmp(argv[n], "--paced-seconds") == 0 && n + 1 < argc) {
            pacedSeconds = atoi(argv[++n]);
        } else {
            fprintf(stderr, "usage: brindle_bench [--paced-seconds N]\n");
            return 2;
        }
    }
    std::string problem;
    if (!StartModuleUnderTest(&problem)) {
        fprintf(stderr, "brindle_bench: %s\n", problem.c_str());
        return 1;
    }
    printf("== %s ==\n", BuildDescription());
    fflush(stdout);
    PrintTurn(MeasureTurn());
    fflush(stdout);
    PrintBoot(MeasureBoot());
    fflush(stdout);
    PrintBridge(MeasureBridge());
    fflush(stdout);
    PrintIdle(MeasureIdleStudio(pacedSeconds));
    fflush(stdout);
    PrintMemory(MeasureMemory());
    fflush(stdout);
    // Script threads are still parked on their events; leave without
    // running static destructors under them.
    std::_Exit(0);
}
