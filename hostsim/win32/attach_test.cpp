// The real brindle_studios.dll attached to the Windows substitute host: what
// its DllMain writes at the host's sites, and the hooks at work through the
// host's own code. One host per process: ctest runs each test on its own.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "hostsim/engine.h"
#include "hostsim/win32/debug_output.h"
#include "hostsim/win32/host_code.h"
#include "hostsim/win32/host_image.h"
#include "hostsim/win32/module_loader.h"
#include "hostsim/win32/site_binding.h"
#include "tests/trace_helpers.h"

// --- The host before and after the module's load ------------------------------

struct CodeRange {
    const char* name;
    uintptr_t address;
    size_t size;
};

static std::vector<CodeRange> HostCodeRanges()
{
    return {
        { "interpreter", hostImage.interpreter, sizeof(HostJump) },
        { "tick routine", hostImage.tickRoutine, sizeof(TickRoutine) },
        { "shutdown routine", hostImage.shutdownRoutine, sizeof(CallerRoutine) },
        { "shutdown continuation", hostImage.shutdownContinuation, sizeof(ContinuationRoutine) },
        { "re-initialisation routine", hostImage.reinitRoutine, sizeof(CallerRoutine) },
        { "re-initialisation continuation", hostImage.reinitContinuation, sizeof(ContinuationRoutine) },
        { "text lookup", hostImage.textLookup, sizeof(TextLookupFunction) },
        { "text caller", hostImage.textCaller, sizeof(TextCallerRoutine) },
        { "version byte", hostImage.versionByte, 1 },
    };
}

static std::vector<std::vector<uint8_t>> SnapshotHost()
{
    std::vector<std::vector<uint8_t>> bytes;
    for (const CodeRange& range : HostCodeRanges()) {
        const uint8_t* first = reinterpret_cast<const uint8_t*>(range.address);
        bytes.emplace_back(first, first + range.size);
    }
    return bytes;
}

static std::vector<std::vector<uint8_t>> laidHost;  // as laid, before the module loaded
static HMODULE module = nullptr;

// What the module says when it loads: one line.
static const char kAttachedToVersion1[] = "Brindle Studios 1.1: attached to the game, version 1\n";
static const char kAttachedToVersion2[] = "Brindle Studios 1.1: attached to the game, version 2\n";
static const char kVersionByteUnreadable[] =
    "Brindle Studios 1.1: not attached, this process is left untouched: the game's version byte "
    "(0x608578) is not readable here, so this is not the game\n";
static const char kSitesUnreadable[] =
    "Brindle Studios 1.1: not attached, this process is left untouched: the game's code it would "
    "patch is not readable here, so this is not the game\n";
static const char kUnknownBuild[] =
    "Brindle Studios 1.1: not attached, this process is left untouched: its code is not that of "
    "either game build the module knows (version 1 or 2)\n";

// A page of the laid host made unreadable while the module loads.
struct UnreadablePage {
    uintptr_t (*address)();  // once the host is laid
    DWORD protection;
};

static bool unreadablePageUntouched = false;  // a guard page keeps its guard until it is touched

// Lays the host, keeps its bytes, loads the module and redirects its keys;
// with a page made unreadable, until the module has loaded.
static void LoadHost(int version, HostPiece moved = kNoPieceMoved, UnreadablePage unreadable = {})
{
    ASSERT_EQ(module, nullptr) << "one host per process: run the tests one at a time, as ctest does";
    std::string problem;
    ASSERT_TRUE(HostArenaInPlace(&problem)) << problem;
    LayHostImage(version, moved);
    laidHost = SnapshotHost();
    KeepDebugOutput();
    void* page = unreadable.address ? reinterpret_cast<void*>(unreadable.address()) : nullptr;
    DWORD old = 0;
    if (page) {
        ASSERT_TRUE(VirtualProtect(page, 1, unreadable.protection, &old));
    }
    module = LoadModuleBesideProgram(&problem);
    if (page) {
        MEMORY_BASIC_INFORMATION region;
        unreadablePageUntouched = VirtualQuery(page, &region, sizeof region) &&
                                  (region.Protect & PAGE_GUARD) == (unreadable.protection & PAGE_GUARD);
        VirtualProtect(page, 1, old, &old);
    }
    ASSERT_NE(module, nullptr) << problem;
    ASSERT_TRUE(RedirectKeyPolls(module));
}

// Names every laid byte that differs from now, but for the bytes the
// patches write when patched is true.
static std::string ChangedHostBytes(bool patched)
{
    uintptr_t patchedFrom[] = { hostImage.tickCallSite - 4, hostImage.shutdownCallSite - 4,
                                hostImage.reinitCallSite - 4, hostImage.textLookup };
    uintptr_t patchedTo[] = { hostImage.tickCallSite, hostImage.shutdownCallSite,
                              hostImage.reinitCallSite, hostImage.textLookup + 7 };
    std::string changes;
    std::vector<CodeRange> ranges = HostCodeRanges();
    for (size_t r = 0; r < ranges.size(); ++r) {
        for (size_t n = 0; n < ranges[r].size; ++n) {
            uintptr_t address = ranges[r].address + n;
            bool inPatch = false;
            for (size_t p = 0; p < 4; ++p)
                inPatch |= address >= patchedFrom[p] && address < patchedTo[p];
            uint8_t now = *reinterpret_cast<const uint8_t*>(address);
            if ((!patched || !inPatch) && now != laidHost[r][n]) {
                char text[96];
                snprintf(text, sizeof text, "%s +%u: %02X, laid %02X\n", ranges[r].name, static_cast<unsigned>(n), now,
                         laidHost[r][n]);
                changes += text;
            }
        }
    }
    return changes;
}

static int32_t Rel32At(uintptr_t address)
{
    int32_t value;
    memcpy(&value, reinterpret_cast<const void*>(address), 4);
    return value;
}

// Where the rel32 instruction ending at site goes.
static uintptr_t TargetOf(uintptr_t site)
{
    return static_cast<uint32_t>(site + Rel32At(site - 4));
}

// True when the address is in an executable section of the module's image.
static bool InModuleCode(uintptr_t address)
{
    uint8_t* base = reinterpret_cast<uint8_t*>(module);
    const IMAGE_NT_HEADERS* headers =
        reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(headers);
    for (unsigned n = 0; n < headers->FileHeader.NumberOfSections; ++n, ++section) {
        uintptr_t first = reinterpret_cast<uintptr_t>(base) + section->VirtualAddress;
        if ((section->Characteristics & IMAGE_SCN_MEM_EXECUTE) && address >= first &&
            address < first + section->Misc.VirtualSize)
            return true;
    }
    return false;
}

static RunResult RunScenario(const std::string& text, const EngineBinding& binding = SiteBinding())
{
    Scenario scenario;
    std::string error;
    EXPECT_TRUE(ParseScenario(text, &scenario, &error)) << error;
    return RunHost(scenario, binding);
}

// A command record without its time and the host's handles, which count on
// across a re-initialisation: its id, argument kinds and other values.
static std::string CommandSent(TraceRecord command)
{
    command.t = 0;
    command.out.clear();
    for (TraceArgument& argument : command.args)
        if (argument.kind == 'v')
            argument.i = 0;
    return TraceRecordJson(command);
}

static std::u16string Text(const char* key)
{
    return CallHostTextLookup(key);
}

static std::string Faults()
{
    std::string faults;
    for (const std::string& fault : hostSiteLog.faults)
        faults += fault + "\n";
    return faults;
}

// --- The patches, for both host versions ----------------------------------------

class Attach : public testing::TestWithParam<int> {
protected:
    void SetUp() override { LoadHost(GetParam()); }
};

TEST_P(Attach, TextLookupEntryIsAJumpIntoTheModuleAndTwoNops)
{
    const uint8_t* entry = reinterpret_cast<const uint8_t*>(hostImage.textLookup);
    EXPECT_EQ(entry[0], 0xE9);
    EXPECT_EQ(entry[5], 0x90);
    EXPECT_EQ(entry[6], 0x90);
    uintptr_t hook = TargetOf(hostImage.textLookup + 5);
    EXPECT_TRUE(InModuleCode(hook)) << std::hex << "the jump goes to " << hook;
}

TEST_P(Attach, EachCallSiteReachesItsOwnHookInTheModule)
{
    uintptr_t sites[] = { hostImage.tickCallSite, hostImage.shutdownCallSite, hostImage.reinitCallSite };
    uintptr_t hooks[3];
    for (int n = 0; n < 3; ++n) {
        const uint8_t* call = reinterpret_cast<const uint8_t*>(sites[n] - 5);
        EXPECT_EQ(call[0], 0xE8) << "site " << n;
        hooks[n] = TargetOf(sites[n]);
        EXPECT_TRUE(InModuleCode(hooks[n])) << std::hex << "site " << sites[n] << " calls " << hooks[n];
        // The displacement is the hook less the site, modulo 2^32.
        EXPECT_EQ(static_cast<uint32_t>(Rel32At(sites[n] - 4)), static_cast<uint32_t>(hooks[n] - sites[n]));
    }
    uintptr_t textHook = TargetOf(hostImage.textLookup + 5);
    EXPECT_NE(hooks[0], hooks[1]);
    EXPECT_NE(hooks[0], hooks[2]);
    EXPECT_NE(hooks[1], hooks[2]);
    EXPECT_NE(textHook, hooks[0]);
    EXPECT_NE(textHook, hooks[1]);
    EXPECT_NE(textHook, hooks[2]);
}

TEST_P(Attach, OnlyThePatchedBytesChange)
{
    EXPECT_EQ(ChangedHostBytes(true), "");
    // The shutdown and re-initialisation continuations are no longer called
    // from their sites.
    EXPECT_NE(TargetOf(hostImage.shutdownCallSite), hostImage.shutdownContinuation);
    EXPECT_NE(TargetOf(hostImage.reinitCallSite), hostImage.reinitContinuation);
}

TEST_P(Attach, PatchedPagesAreBackToExecuteRead)
{
    uintptr_t patched[] = { hostImage.tickCallSite - 4, hostImage.shutdownCallSite - 4, hostImage.reinitCallSite - 4,
                            hostImage.textLookup };
    for (uintptr_t address : patched) {
        MEMORY_BASIC_INFORMATION page;
        ASSERT_NE(VirtualQuery(reinterpret_cast<void*>(address), &page, sizeof page), 0u);
        EXPECT_EQ(page.Protect, static_cast<DWORD>(PAGE_EXECUTE_READ)) << std::hex << "at " << address;
    }
}

TEST_P(Attach, EntryPointWithOtherReasonsWritesNothing)
{
    // Put the host back as it was laid, then call the module's entry point
    // (the runtime's, which calls DllMain) as thread attach and detach do.
    std::vector<CodeRange> ranges = HostCodeRanges();
    for (size_t r = 0; r < ranges.size(); ++r) {
        void* at = reinterpret_cast<void*>(ranges[r].address);
        DWORD old;
        VirtualProtect(at, ranges[r].size, PAGE_EXECUTE_READWRITE, &old);
        memcpy(at, laidHost[r].data(), ranges[r].size);
        VirtualProtect(at, ranges[r].size, old, &old);
    }
    uint8_t* base = reinterpret_cast<uint8_t*>(module);
    const IMAGE_NT_HEADERS* headers =
        reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    typedef BOOL(WINAPI * Entry)(HINSTANCE, DWORD, LPVOID);
    Entry entry = reinterpret_cast<Entry>(base + headers->OptionalHeader.AddressOfEntryPoint);
    EXPECT_EQ(entry(module, DLL_THREAD_ATTACH, nullptr), TRUE);
    EXPECT_EQ(entry(module, DLL_THREAD_DETACH, nullptr), TRUE);
    EXPECT_EQ(ChangedHostBytes(false), "");
}

// --- The hooks, through the host's own code -------------------------------------------

TEST_P(Attach, ScenarioRunsThroughTheSitesWithoutErrors)
{
    RunResult result = RunScenario("end 3000\n");
    EXPECT_EQ(Errors(result.trace), "");
    EXPECT_FALSE(Commands(result.trace).empty());
    EXPECT_EQ(hostSiteLog.ownScriptSteps, 0);
}

TEST_P(Attach, ShutdownBeforeTheFirstTickOnlyContinues)
{
    RunResult result = RunScenario("at 0 shutdown\nend 1000\n");
    EXPECT_EQ(Errors(result.trace), "");
    EXPECT_EQ(hostSiteLog.shutdownArrivals, 1);
    // The scheduler is still not booted: the next tick boots.
    EXPECT_FALSE(Commands(result.trace).empty());
}

TEST_P(Attach, ReinitBeforeTheFirstTickOnlyContinues)
{
    RunResult result = RunScenario("at 0 reinit\nend 1000\n");
    EXPECT_EQ(Errors(result.trace), "");
    EXPECT_EQ(hostSiteLog.reinitArrivals, 1);
    EXPECT_FALSE(Commands(result.trace).empty());
}

// The teardown behind the hook calls TerminateThread and SetEvent for every
// script thread, which leave EAX, ECX and EDX changed; the continuation checks
// every general-purpose register against what the host's caller loaded.
TEST_P(Attach, ReinitAfterBootKeepsEveryRegisterAndBootsAgain)
{
    RunResult result = RunScenario("at 2000 reinit\nend 4000\n");
    EXPECT_EQ(Errors(result.trace), "");
    EXPECT_EQ(hostSiteLog.reinitArrivals, 1);
    // The tick right after the re-initialisation runs the boot script again:
    // the same commands as the first tick of the run.
    std::vector<std::string> firstBoot, secondBoot;
    for (const TraceRecord& command : Commands(result.trace)) {
        if (command.t == 0)
            firstBoot.push_back(CommandSent(command));
        if (command.t == 2000)
            secondBoot.push_back(CommandSent(command));
    }
    ASSERT_FALSE(firstBoot.empty());
    EXPECT_EQ(secondBoot, firstBoot);
}

TEST_P(Attach, ShutdownAfterBootKeepsEveryRegisterAndStopsTheScripts)
{
    RunResult result = RunScenario("at 2000 shutdown\nend 4000\n");
    EXPECT_EQ(Errors(result.trace), "");
    EXPECT_EQ(hostSiteLog.shutdownArrivals, 1);
    std::vector<TraceRecord> commands = Commands(result.trace);
    ASSERT_FALSE(commands.empty());
    EXPECT_LT(commands.back().t, 2000);
}

TEST_P(Attach, ModuleKeysAreAnsweredByTheModule)
{
    EXPECT_EQ(Text("!WEAT3"), u"Weather now set to ~b~FOGGY~h~.");
    EXPECT_EQ(Text("!weat3"), u"Weather now set to ~b~FOGGY~h~.");
    EXPECT_EQ(Text("!NOSUCH"), u"NOT FOUND");
    EXPECT_EQ(hostSiteLog.textLookups, 0);
    EXPECT_EQ(Faults(), "");
}

TEST_P(Attach, OtherKeysGoToTheHostsOwnLookup)
{
    EXPECT_EQ(Text("NUMBER"), HostOwnText("NUMBER"));
    EXPECT_EQ(Text("WEAT3"), HostOwnText("WEAT3"));
    EXPECT_EQ(hostSiteLog.textLookups, 2);
    EXPECT_EQ(Faults(), "");
}

TEST_P(Attach, SaysOnceThatItAttachedAndStaysLoadedForTheHostsCalls)
{
    EXPECT_EQ(DebugOutput(), GetParam() == 1 ? kAttachedToVersion1 : kAttachedToVersion2);
    // The host's code jumps into the module: a FreeLibrary must not unload it.
    EXPECT_TRUE(FreeLibrary(module));
    EXPECT_EQ(GetModuleHandleA("brindle_studios.dll"), module);
    RunResult result = RunScenario("at 300 reinit\nend 3000\n");
    EXPECT_EQ(Errors(result.trace), "");
    EXPECT_GT(Commands(result.trace).size(), 700u);
    EXPECT_EQ(DebugOutput(), GetParam() == 1 ? kAttachedToVersion1 : kAttachedToVersion2);
}

INSTANTIATE_TEST_SUITE_P(HostVersion, Attach, testing::Values(1, 2),
                         [](const testing::TestParamInfo<int>& info) { return "Version" + std::to_string(info.param); });

// --- A host the module does not know ------------------------------------------

class UnknownHost : public testing::TestWithParam<HostPiece> {
protected:
    void SetUp() override { LoadHost(1, GetParam()); }
};

// The host's tick, which now reaches the host's own script step.
static void UnpatchedTick(HostScript* script)
{
    if (CallHostTick(script) != 1)
        ReportHostError("the host's own script step did not return 1");
}

// A module that patched nothing may go again.
static void ExpectUnloadedByFreeLibrary()
{
    EXPECT_TRUE(FreeLibrary(module));
    EXPECT_EQ(GetModuleHandleA("brindle_studios.dll"), nullptr);
}

TEST_P(UnknownHost, IsLeftUntouchedAndKeepsRunning)
{
    EXPECT_EQ(ChangedHostBytes(false), "");
    EXPECT_EQ(DebugOutput(), kUnknownBuild);
    EngineBinding binding = SiteBinding();
    binding.tick = UnpatchedTick;
    RunResult result = RunScenario("at 100 reinit\nat 200 shutdown\nend 1000\n", binding);
    EXPECT_EQ(Errors(result.trace), "");
    EXPECT_EQ(Commands(result.trace).size(), 0u);
    EXPECT_GT(hostSiteLog.ownScriptSteps, 0);
    EXPECT_EQ(hostSiteLog.reinitArrivals, 1);
    EXPECT_EQ(hostSiteLog.shutdownArrivals, 1);
    EXPECT_EQ(Text("!WEAT3"), HostOwnText("!WEAT3"));
    EXPECT_EQ(hostSiteLog.textLookups, 1);
    EXPECT_EQ(Faults(), "");
    ExpectUnloadedByFreeLibrary();
}

static std::string PieceName(const testing::TestParamInfo<HostPiece>& info)
{
    static const char* const names[] = { "None", "TickRoutine", "ShutdownRoutine", "ShutdownContinuation",
                                         "ReinitRoutine", "ReinitContinuation", "TextLookup" };
    return names[info.param];
}

INSTANTIATE_TEST_SUITE_P(OnePieceMoved, UnknownHost,
                         testing::Values(kTickRoutine, kShutdownRoutine, kShutdownContinuation, kReinitRoutine,
                                         kReinitContinuation, kTextLookup),
                         PieceName);

// --- A process that is not the game: host addresses it cannot read --------------
// The version byte, or a site it would check, on a no-access or guard page:
// the module loads all the same, reads and writes nothing there, says why,
// and the process runs on.

struct NotTheGameCase {
    const char* name;
    int version;
    uintptr_t (*page)();  // where, once the host is laid
    DWORD protection;
    const char* said;
};

static const NotTheGameCase kNotTheGameCases[] = {
    //  name                    version  page                                          protection                      said
    { "VersionByteNoAccess",    1,       [] { return hostImage.versionByte; },         PAGE_NOACCESS,                  kVersionByteUnreadable },
    { "VersionByteGuardPage",   2,       [] { return hostImage.versionByte; },         PAGE_READWRITE | PAGE_GUARD,    kVersionByteUnreadable },
    { "TickSiteNoAccess",       1,       [] { return hostImage.tickCallSite - 5; },    PAGE_NOACCESS,                  kSitesUnreadable },
    { "TextLookupGuardPage",    2,       [] { return hostImage.textLookup; },          PAGE_EXECUTE_READ | PAGE_GUARD, kSitesUnreadable },
};

static void PrintTo(const NotTheGameCase& test, std::ostream* out)
{
    *out << test.name;
}

class NotTheGame : public testing::TestWithParam<NotTheGameCase> {};

TEST_P(NotTheGame, LoadsWritesNothingSaysWhyAndTheProcessRunsOn)
{
    const NotTheGameCase& test = GetParam();
    LoadHost(test.version, kNoPieceMoved, { test.page, test.protection });
    EXPECT_EQ(DebugOutput(), test.said);
    EXPECT_TRUE(unreadablePageUntouched);
    EXPECT_EQ(ChangedHostBytes(false), "");
    HostScript record = {};
    EXPECT_EQ(CallHostTick(&record), 1u);
    EXPECT_EQ(hostSiteLog.ownScriptSteps, 1);
    ExpectUnloadedByFreeLibrary();
}

INSTANTIATE_TEST_SUITE_P(UnreadableHost, NotTheGame, testing::ValuesIn(kNotTheGameCases),
                         [](const testing::TestParamInfo<NotTheGameCase>& info) { return std::string(info.param.name); });
