// The studio's turn stalled past the tick's bound through the real DLL and
// the host's sites under Wine, on both host versions; the stalls of the
// teardowns hold the C heap's lock or a host lock, as a game's interpreter
// may, so a thread terminated inside one would leave the game hung.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "hostsim/win32/site_binding.h"
#include "tests/studio_stalls.h"

using namespace hostsim;

namespace {

class RealStudioStall : public testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        std::string problem;
        ASSERT_TRUE(StartWin32Host(GetParam(), &problem)) << problem;
    }
};

// Each run after the first in this process starts with the host's
// re-initialisation call between the runs, as when a game loads a saved game,
// so that it boots afresh.
RunResult RunFresh(const std::string& text)
{
    static bool ranBefore = false;
    if (ranBefore)
        SiteBinding().reinit();
    ranBefore = true;
    return RunScenarioTextThroughSites(text);
}

std::string Stall(int64_t ms, const char* holds = "")
{
    return StallOnTheStudiosTurn(std::to_string(ms) + holds);
}

TEST_P(RealStudioStall, NoOtherScriptRunsUntilTheLateStudioTurnWaitsThenBothTakeTurns)
{
    const RunResult one = RunFresh(StudioScenario(GetParam(), Stall(kLateByAFewMs), 31000));
    EXPECT_EQ(LateStudioTurnFailures(one.trace, 1), "");
    const RunResult two = RunFresh(StudioScenario(GetParam(), Stall(kLateByAFewMs) + Stall(kLateAgainMs), 32000));
    EXPECT_EQ(LateStudioTurnFailures(two.trace, 2), "") << "two stalls in a row";
}

TEST_P(RealStudioStall, ALateTurnGoesOnOnlyInsideATickOfItsScript)
{
    const RunResult run = RunFresh(StudioScenario(GetParam(), Stall(kLateByAFewMs) + HostBusyAsTheStallEnds(), 31000));
    EXPECT_EQ(LateStudioTurnFailures(run.trace, 1), "");
}

TEST_P(RealStudioStall, AReinitialisationDuringAHeapOrHostLockStallBootsAgain)
{
    for (const char* holds : { " heap", " hostlock" })
        for (int64_t ms : { kBackWithinTheTeardownMs, kBackAfterTheTeardownMs }) {
            const std::string scenario = TeardownDuringAStall(GetParam(), std::to_string(ms) + holds, "reinit");
            EXPECT_EQ(BootAfterReinitFailures(RunFresh(scenario).trace), "") << "stall " << ms << holds;
        }
}

TEST_P(RealStudioStall, AShutdownDuringAHeapOrHostLockStallSendsNothingMore)
{
    for (const char* holds : { " heap", " hostlock" })
        for (int64_t ms : { kBackWithinTheTeardownMs, kBackAfterTheTeardownMs }) {
            const std::string scenario = TeardownDuringAStall(GetParam(), std::to_string(ms) + holds, "shutdown");
            EXPECT_EQ(NothingAfterShutdownFailures(RunFresh(scenario).trace), "") << "stall " << ms << holds;
        }
}

TEST_P(RealStudioStall, AStallThatNeverEndsKeepsTicksWithinTheBoundAndAReinitialisationStillBoots)
{
    const RunResult result =
        RunFresh(StudioScenario(GetParam(), StallOnTheStudiosTurn("forever") + "at 28500 reinit\n", 30000));
    EXPECT_EQ(BootAfterReinitFailures(result.trace), "");
}

// The whole substitute host, shut down while a stall that the teardown gives
// up on holds the C heap's lock or the host's own lock: its run ends, and its
// process exits, with no error in its run. A heap stall holds the host's own
// thread in the trace records it writes before it reaches the shutdown call,
// while the late turn waits for a tick; the host's lock is taken by the
// shutdown's continuation. A thread terminated inside either would leave the
// host hung, in its run or in its exit. Returns what went wrong.
std::string ShutdownInAStallInItsOwnProcessFailures(int version, const std::string& holds)
{
    const int64_t stallMs = kBackAfterTheTeardownMs;
    // Wine's start of the process and the run to the studio's turn, under load.
    const DWORD givenMs = static_cast<DWORD>(stallMs) + 10000;
    const std::string name = "shutdown-in-" + holds + "-stall-" + std::to_string(version);
    const std::string scenario = TeardownDuringAStall(version, std::to_string(stallMs) + " " + holds, "shutdown");
    FILE* file = fopen((name + ".scn").c_str(), "wb");
    if (!file)
        return "cannot write " + name + ".scn";
    fwrite(scenario.data(), 1, scenario.size(), file);
    fclose(file);

    char program[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, program, sizeof program);
    if (length == 0 || length >= sizeof program)
        return "no name for this program";
    std::string host(program);
    host = host.substr(0, host.find_last_of("\\/") + 1) + "hostsim-win32.exe";
    std::string commandLine = "\"" + host + "\" " + name + ".scn --trace " + name + ".jsonl";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(host.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return "cannot start " + host;
    const ULONGLONG start = GetTickCount64();
    const bool exited = WaitForSingleObject(process.hProcess, givenMs) == WAIT_OBJECT_0;
    const ULONGLONG tookMs = GetTickCount64() - start;
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    if (!exited)
        TerminateProcess(process.hProcess, 9);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    printf("the host's process ran %u ms, a %s stall of %u ms in it\n", static_cast<unsigned>(tookMs), holds.c_str(),
           static_cast<unsigned>(stallMs));
    if (!exited)
        return "the host still ran " + std::to_string(givenMs) + " ms after it started";
    if (exitCode != 0)
        return "errors in the run: see " + name + ".jsonl";
    return "";
}

TEST_P(RealStudioStall, AfterAShutdownDuringAHeapOrHostLockStallTheProcessExitsAtOnce)
{
    for (const char* holds : { "heap", "hostlock" })
        EXPECT_EQ(ShutdownInAStallInItsOwnProcessFailures(GetParam(), holds), "") << holds;
}

INSTANTIATE_TEST_SUITE_P(HostVersion, RealStudioStall, testing::Values(1, 2),
                         [](const testing::TestParamInfo<int>& info) {
                             return "Version" + std::to_string(info.param);
                         });

}  // namespace
