// The substitute host's command line and output.
#include "hostsim/command_line/run_main.h"

#include "hostsim/record/readable_log.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace hostsim {

static FILE* traceFile = nullptr;
static ReadableLog readableLog;

static void WriteRecord(const TraceRecord& record)
{
    if (traceFile) {
        fprintf(traceFile, "%s\n", TraceRecordJson(record).c_str());
        return;
    }
    std::string lines = ReadableLogLines(readableLog, record);
    if (!lines.empty()) {
        fputs(lines.c_str(), stdout);
        fflush(stdout);
    }
}

static int Usage()
{
    fprintf(stderr, "usage: hostsim SCENARIO [--trace FILE]\n");
    return 2;
}

int RunHostsimMain(int argc, char** argv, ScenarioRunner runner)
{
    const char* scenarioPath = nullptr;
    const char* tracePath = nullptr;
    for (int n = 1; n < argc; ++n) {
        if (strcmp(argv[n], "--trace") == 0 && n + 1 < argc)
            tracePath = argv[++n];
        else if (!scenarioPath && argv[n][0] != '-')
            scenarioPath = argv[n];
        else
            return Usage();
    }
    if (!scenarioPath)
        return Usage();

    std::ifstream file(scenarioPath, std::ios::binary);
    if (!file) {
        fprintf(stderr, "hostsim: cannot read %s\n", scenarioPath);
        return 2;
    }
    std::stringstream text;
    text << file.rdbuf();
    Scenario scenario;
    std::string error;
    if (!ParseScenario(text.str(), &scenario, &error)) {
        fprintf(stderr, "hostsim: %s: %s\n", scenarioPath, error.c_str());
        return 2;
    }
    if (tracePath) {
        traceFile = fopen(tracePath, "wb");
        if (!traceFile) {
            fprintf(stderr, "hostsim: cannot write %s\n", tracePath);
            return 2;
        }
    }
    readableLog.colour = !traceFile && isatty(1);

    RunResult result = runner(scenario, WriteRecord);
    if (traceFile)
        fclose(traceFile);
    if (result.errors)
        fprintf(stderr, "hostsim: %d error(s) in the run\n", result.errors);
    fflush(stdout);
    // Script threads are still parked on their events; leave without
    // running static destructors under them.
    _exit(result.errors ? 1 : 0);
}

}  // namespace hostsim
