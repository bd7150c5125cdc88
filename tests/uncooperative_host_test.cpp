// A host that does not cooperate: a model that never becomes available, a
// host build whose code differs at a site, and text keys at the edges of the
// 8-byte label field.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <set>

#include "game/command_catalogue.h"
#include "host/patches.h"
#include "script/command.h"
#include "script/scheduler.h"
#include "tests/studio_session.h"
#include "text/text_table.h"

using namespace hostsim;

// --- A model that never arrives ------------------------------------------------

TEST(UncooperativeHost, AModelThatNeverArrivesHoldsOnlyTheStudioAndAReinitialisationRecovers)
{
    const StudioSession session = ReachStudio();
    ASSERT_GE(session.readyAt, 0);
    // Insert + '5' shows Car 1's first model, which this host never loads.
    const int64_t pressAt = session.readyAt, reinitAt = session.readyAt + 300000;
    const std::string lines = At(pressAt, "keydown INSERT 5") + At(pressAt + 600, "keyup INSERT 5") +
                              At(reinitAt, "reinit") + At(reinitAt + kArrivalMs, kToStartPoint);
    const RunResult result = RunSession("model-never 130\n" + session.prefix + lines + EndAt(reinitAt + 150000));
    ASSERT_EQ(Errors(result.trace), "");

    // While it waits, the studio polls for the model at its first host step
    // 250 ms on and sends nothing else, and the welcome thread goes on taking
    // its turns.
    std::vector<int64_t> polls;
    int otherStudioCommands = 0;
    int64_t lastWelcomeTurn = 0;
    for (const TraceRecord& command : Commands(result.trace)) {
        if (command.t < pressAt + 1000 || command.t >= reinitAt)
            continue;
        if (command.script == 0)
            lastWelcomeTurn = command.t;
        else if (command.id == kIsModelAvailable.id && command.args[0].i == 130)
            polls.push_back(command.t);
        else if (!(command.id == kWait.id && command.args[0].i == 250))
            ++otherStudioCommands;
        EXPECT_NE(command.id, kCreateCar.id) << "a car made at " << command.t;
    }
    ASSERT_GT(polls.size(), 1000u);
    for (size_t n = 1; n < polls.size(); ++n)
        ASSERT_TRUE(polls[n] - polls[n - 1] >= 250 && polls[n] - polls[n - 1] < 250 + 20) << polls[n];
    EXPECT_GE(polls.back(), reinitAt - 260);
    EXPECT_EQ(otherStudioCommands, 0);
    EXPECT_GE(lastWelcomeTurn, reinitAt - 120);

    // The boot after it starts over: the marker, then the studio and its
    // tutorial, whose cars are made as before.
    const size_t reinit = IndexAt(result.trace, reinitAt);
    EXPECT_LT(FindCommand(result.trace, kPlaceMarkerAtPoint.id, reinit), result.trace.size());
    EXPECT_LT(FindText(result.trace, "!TITLE", reinit), result.trace.size());
    const std::vector<int32_t> cars = CarModelsMade(result.trace, reinit);
    EXPECT_EQ(std::set<int32_t>(cars.begin(), cars.end()),
              (std::set<int32_t> { 191, 135, 206, 207, 132, 210, 192, 193 }));
}

// --- A host build whose code differs at one site ------------------------------------

namespace {

// The four sites as the first host version has them, laid in one buffer
// whose addresses stand in for the host's.
struct LaidSites {
    uint8_t bytes[64] = {};
    HostAddresses addresses = {};

    LaidSites()
    {
        uintptr_t base = reinterpret_cast<uintptr_t>(bytes);
        addresses.tickCallSite = base + 5;
        addresses.shutdownCallSite = base + 15;
        addresses.shutdownContinuation = base + 40;
        addresses.reinitCallSite = base + 25;
        addresses.reinitContinuation = base + 44;
        addresses.textLookupPatchPoint = base + 32 + 5;
        addresses.textLookupContinuation = base + 32 + 7;
        LayCall(addresses.tickCallSite, base + 48);
        LayCall(addresses.shutdownCallSite, addresses.shutdownContinuation);
        LayCall(addresses.reinitCallSite, addresses.reinitContinuation);
        memcpy(bytes + 32, kTextLookupEntryBytes, sizeof kTextLookupEntryBytes);
    }
    void LayCall(uintptr_t site, uintptr_t target)
    {
        CallRel32 call = { kCallRel32Opcode, Rel32To(site, target) };
        memcpy(reinterpret_cast<void*>(site - sizeof call), &call, sizeof call);
    }
};

}  // namespace

TEST(UncooperativeHost, EveryByteTheModuleChecksAtTheSitesStopsThePatchesWhenItDiffers)
{
    const LaidSites laid;
    ASSERT_TRUE(HostSitesMatch(laid.addresses));
    // The checked bytes: the tick CALL's opcode, both continuation CALLs
    // whole, the text lookup's first 7 bytes.
    std::set<size_t> checked = { 0 };
    for (size_t n = 0; n < 5; ++n) {
        checked.insert(10 + n);
        checked.insert(20 + n);
    }
    for (size_t n = 0; n < 7; ++n)
        checked.insert(32 + n);
    for (size_t at = 0; at < sizeof laid.bytes; ++at) {
        LaidSites changed;
        changed.bytes[at] ^= 0x01;
        EXPECT_EQ(HostSitesMatch(changed.addresses), checked.count(at) == 0) << "byte " << at;
    }
}

TEST(UncooperativeHost, TheBytesMadeSureOfBeforeTheSiteCheckAreTheBytesItReads)
{
    const LaidSites laid;
    HostByteRange ranges[kHostSiteCount];
    ListHostSiteRanges(laid.addresses, ranges);
    std::set<size_t> listed;
    for (const HostByteRange& range : ranges)
        for (uint32_t n = 0; n < range.count; ++n)
            listed.insert(range.first + n - reinterpret_cast<uintptr_t>(laid.bytes));
    // The three CALLs whole and the text lookup's first 7 bytes: every byte
    // the check reads (the test above), and the tick CALL's operand, which
    // ListSiteLeads reads besides.
    std::set<size_t> expected;
    for (size_t n = 0; n < 5; ++n) {
        expected.insert(0 + n);
        expected.insert(10 + n);
        expected.insert(20 + n);
    }
    for (size_t n = 0; n < 7; ++n)
        expected.insert(32 + n);
    EXPECT_EQ(listed, expected);
}

// --- Text keys at the edges of the label field --------------------------------------

namespace {

// A key in an allocation of exactly its bytes, so that the memory checker
// sees any read past them.
std::unique_ptr<char[]> ExactKey(const char* bytes, size_t size)
{
    std::unique_ptr<char[]> key(new char[size]);
    memcpy(key.get(), bytes, size);
    return key;
}

struct EdgeKey {
    const char* bytes;
    size_t size;       // with the terminator, if it has one
    const char* text;  // what the host shows
};

const char kFrozen[] = "Time has been ~r~FROZEN~h~ !";

// clang-format off
const EdgeKey kEdgeKeys[] = {
    { "!TMEFONX",           8, "NOT FOUND" },  // eight characters, no terminator
    { "!TMEFON",            8, kFrozen },      // seven and the terminator: a whole key
    { "!tmefon",            8, kFrozen },
    { "!",                  2, "NOT FOUND" },
    { "",                   1, "" },           // no '!': the host's own lookup, which has no such text
    { "!\xD4MEFON",         8, "NOT FOUND" },  // 'T' with the top bit set is no 'T'
    { "!\xF4mefon",         8, "NOT FOUND" },  // nor is 't' with it
    { "!WEAT3\xB3\xFF",     8, "NOT FOUND" },
    { "\xA1WEAT3",          7, "" },           // '!' with the top bit set goes to the host
};
// clang-format on

std::vector<std::unique_ptr<char[]>> edgeKeys;

void ShowsEveryEdgeKey(ScriptThread* self)
{
    WaitForFirstTurn(self);
    for (const std::unique_ptr<char[]>& key : edgeKeys)
        CallCommand(kShowText, key.get(), 1000, 1);
    for (;;)
        WaitMs(self, 100);
}

std::string Narrow(const char16_t* text)
{
    std::string narrow;
    for (; *text; ++text)
        narrow += static_cast<char>(*text);
    return narrow;
}

}  // namespace

TEST(UncooperativeHost, TextKeysAtTheEdgesOfTheLabelFieldGetTheRightAnswers)
{
    for (const EdgeKey& key : kEdgeKeys) {
        if (key.bytes[0] == '!') {
            EXPECT_EQ(Narrow(LookupCustomText(ExactKey(key.bytes, key.size).get())), key.text)
                << std::string(key.bytes, key.size);
        }
        edgeKeys.push_back(ExactKey(key.bytes, key.size));
    }

    // Sent as labels through the bridge, looked up as the host draws them:
    // the host counts each "!" key without a text as an error.
    ReinitScripts();
    const RunResult result = RunRoutine(ShowsEveryEdgeKey, "end 200\n");
    const std::vector<TraceRecord> texts = Texts(result.trace);
    ASSERT_EQ(texts.size(), sizeof kEdgeKeys / sizeof kEdgeKeys[0]);
    std::string expectedErrors;
    for (size_t n = 0; n < texts.size(); ++n) {
        const EdgeKey& key = kEdgeKeys[n];
        EXPECT_EQ(texts[n].key, std::string(key.bytes, strnlen(key.bytes, key.size))) << n;
        EXPECT_EQ(texts[n].text, key.text) << n;
        if (key.bytes[0] == '!' && std::string(key.text) == "NOT FOUND")
            expectedErrors += "t=20 text key " + texts[n].key + " has no text of the module's\n";
    }
    EXPECT_EQ(Errors(result.trace), expectedErrors);
}
