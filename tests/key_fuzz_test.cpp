// Thirty simulated minutes of random keys in the studio: the substitute host
// checks its invariants at every command (each command in a tick of its own
// script, no malformed command, no wait below 0 ms, every "!" key a text of
// the module's, no more peds and cars held than the studio has places for)
// and records an error for any that breaks.
#include <gtest/gtest.h>

#include "host/hook_work.h"
#include "hostsim/direct/direct_binding.h"
#include "tests/reliability_scenarios.h"

using namespace hostsim;

#if defined(_WIN32)
static const int64_t kFuzzMinutes = 5;  // the module linked into the test program, under Wine
#else
static const int64_t kFuzzMinutes = 30;
#endif

TEST(KeyFuzz, RandomKeysForHalfAnHourKeepEveryHostInvariant)
{
    const uint64_t seed = TestSeed(7041);
    const std::string scenario = KeyFuzzScenario(seed, kFuzzMinutes);
    ReinitScripts();
    const RunResult result = RunScenarioText(scenario);
    const auto replay = [&]() { return KeepScenarioForReplay("key-fuzz", seed, scenario); };
    EXPECT_EQ(Errors(result.trace), "") << replay();

    // The keys reached the studio and it kept up with them to the end: groups,
    // cars and texts were made, choices confirmed, and its last pass is recent.
    const std::vector<TraceRecord> commands = Commands(result.trace);
    int peds = 0, cars = 0, texts = 0, playerModels = 0;
    int64_t lastStudioPass = 0;
    for (const TraceRecord& command : commands) {
        peds += command.id == kCreatePed.id;
        cars += command.id == kCreateCar.id;
        playerModels += command.id == kSetPlayerModel.id;
        if (command.id == kWait.id && command.script == 1 && command.args[0].i == 250)
            lastStudioPass = command.t;
    }
    for (const TraceRecord& text : Texts(result.trace))
        texts += text.key[0] == '!';
    EXPECT_GT(peds, 100) << replay();
    EXPECT_GT(cars, 20) << replay();
    EXPECT_GT(texts, 50) << replay();
    EXPECT_GT(playerModels, 2) << replay();
    EXPECT_GT(lastStudioPass, kFuzzMinutes * 60000 - 60000) << replay();
}
