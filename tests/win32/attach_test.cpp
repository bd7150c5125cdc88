// The real brindle_studios.dll attached to the Windows substitute host: what
// its DllMain writes at the host's sites, and the hooks at work through the
// host's own code. One host per process: ctest runs each test on its own.
#include <windows.h>
#include <winternl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "host/host_addresses.h"
#include "host/patches.h"
#include "hostsim/engine/engine.h"
#include "tests/win32/debug_output.h"
#include "hostsim/win32/host_code.h"
#include "hostsim/win32/host_image.h"
#include "hostsim/win32/module_loader.h"
#include "tests/win32/other_mod.h"
#include "hostsim/win32/site_binding.h"
#include "tests/trace_helpers.h"

using namespace hostsim;

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
static const char kTickIntoOtherMod[] =
    "Brindle Studios 1.1: not attached, this process is left untouched: the game's script tick already leads "
    "into othermod.dll\n";
static const char kTickOutOfTheGame[] =
    "Brindle Studios 1.1: not attached, this process is left untouched: the game's script tick already leads "
    "out of the game's own code\n";

// A page of the laid host made unreadable while the module loads.
struct UnreadablePage {
    uintptr_t (*address)();  // once the host is laid
    DWORD protection;
};

static bool unreadablePageUntouched = false;  // a guard page keeps its guard until it is touched

// Lays the host's code, one piece moved if asked.
static void LayHost(int version, HostPiece moved = kNoPieceMoved)
{
    ASSERT_EQ(module, nullptr) << "one host per process: run the tests one at a time, as ctest does";
    std::string problem;
    ASSERT_TRUE(HostArenaInPlace(&problem)) << problem;
    LayHostImage(version, moved);
}

// Keeps the host's bytes as they are now, loads the module and redirects its
// keys; with a page made unreadable, until the module has loaded.
static void LoadModule(UnreadablePage unreadable = {})
{
    laidHost = SnapshotHost();
    KeepDebugOutput();
    void* page = unreadable.address ? reinterpret_cast<void*>(unreadable.address()) : nullptr;
    DWORD old = 0;
    if (page) {
        ASSERT_TRUE(VirtualProtect(page, 1, unreadable.protection, &old));
    }
    std::string problem;
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

static void LoadHost(int version, HostPiece moved = kNoPieceMoved, UnreadablePage unreadable = {})
{
    LayHost(version, moved);
    LoadModule(unreadable);
}

// Writes into the host's code, as a patch does.
static void WriteHost(uintptr_t address, const void* bytes, size_t size)
{
    void* at = reinterpret_cast<void*>(address);
    DWORD old;
    VirtualProtect(at, size, PAGE_EXECUTE_READWRITE, &old);
    memcpy(at, bytes, size);
    VirtualProtect(at, size, old, &old);
}

// Names every laid byte that differs from now, but for the bytes the
// patches write when patched is true.
static std::string ChangedHostBytes(bool patched)
{
    uintptr_t patchedFrom[] = { hostImage.tickCallSite - 4, hostImage.shutdownCallSite - 4,
                                hostImage.reinitCallSite - 4, hostImage.textLookup };
    uintptr_t patchedTo[] = { hostImage.tickCallSite, hostImage.shutdownCallSite, hostImage.reinitCallSite,
                              hostImage.textLookup + 7 };
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
    for (size_t r = 0; r < ranges.size(); ++r)
        WriteHost(ranges[r].address, laidHost[r].data(), ranges[r].size);
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
    RunResult result = RunScenarioTextThroughSites("end 3000\n");
    EXPECT_EQ(Errors(result.trace), "");
    EXPECT_FALSE(Commands(result.trace).empty());
    EXPECT_EQ(hostSiteLog.ownScriptSteps, 0);
}

TEST_P(Attach, ShutdownBeforeTheFirstTickOnlyContinues)
{
    RunResult result = RunScenarioTextThroughSites("at 0 shutdown\nend 1000\n");
    EXPECT_EQ(Errors(result.trace), "");
    EXPECT_EQ(hostSiteLog.shutdownArrivals, 1);
    // The scheduler is still not booted: the next tick boots.
    EXPECT_FALSE(Commands(result.trace).empty());
}

TEST_P(Attach, ReinitBeforeTheFirstTickOnlyContinues)
{
    RunResult result = RunScenarioTextThroughSites("at 0 reinit\nend 1000\n");
    EXPECT_EQ(Errors(result.trace), "");
    EXPECT_EQ(hostSiteLog.reinitArrivals, 1);
    EXPECT_FALSE(Commands(result.trace).empty());
}

// The teardown behind the hook calls TerminateThread and SetEvent for every
// script thread, which leave EAX, ECX and EDX changed; the continuation checks
// every general-purpose register against what the host's caller loaded.
TEST_P(Attach, ReinitAfterBootKeepsEveryRegisterAndBootsAgain)
{
    RunResult result = RunScenarioTextThroughSites("at 2000 reinit\nend 4000\n");
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
    RunResult result = RunScenarioTextThroughSites("at 2000 shutdown\nend 4000\n");
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
    RunResult result = RunScenarioTextThroughSites("at 300 reinit\nend 3000\n");
    EXPECT_EQ(Errors(result.trace), "");
    EXPECT_GT(Commands(result.trace).size(), 700u);
    EXPECT_EQ(DebugOutput(), GetParam() == 1 ? kAttachedToVersion1 : kAttachedToVersion2);
}

INSTANTIATE_TEST_SUITE_P(HostVersion, Attach, testing::Values(1, 2), [](const testing::TestParamInfo<int>& info) {
    return "Version" + std::to_string(info.param);
});

// --- A hook reached while the module is still patching ---------------------------
// A game thread may reach a hook as soon as its site is written, while the
// module goes on writing the others. Every code write of the module ends in
// FlushInstructionCache; with the module's import of it redirected before
// its DllMain runs, the host runs its shutdown right after the module wrote
// that site, and before it wrote the re-initialisation's and the text
// lookup's. Version 2's shutdown continuation is not where version 1's is:
// the hook must already go on to version 2's.

// What ntdll hands a DLL notification (LDR_DLL_LOADED_NOTIFICATION_DATA).
struct DllLoaded {
    ULONG flags;
    const UNICODE_STRING* fullName;
    const UNICODE_STRING* baseName;
    void* base;
    ULONG size;
};
typedef void(CALLBACK* DllNotification)(ULONG reason, const DllLoaded* loaded, void* context);
typedef LONG(NTAPI* RegisterDllNotification)(ULONG flags, DllNotification notification, void* context, void** cookie);
static const ULONG kDllLoadedReason = 1;

typedef BOOL(WINAPI* FlushCode)(HANDLE process, LPCVOID address, SIZE_T size);
static FlushCode moduleFlushCode = nullptr;  // what the module called before the redirection
static int moduleCodeWrites = 0;
// What the test does right after the module's write that ends at the site.
static struct {
    uintptr_t site;
    void (*act)();
} afterWriteTo;
static int codeWritesBeforeAct = 0;

static BOOL WINAPI AfterModuleCodeWrite(HANDLE process, LPCVOID address, SIZE_T size)
{
    ++moduleCodeWrites;
    const uintptr_t first = reinterpret_cast<uintptr_t>(address);
    if (afterWriteTo.site - 4 >= first && afterWriteTo.site - 4 < first + size) {
        codeWritesBeforeAct = moduleCodeWrites;
        afterWriteTo.act();
    }
    return moduleFlushCode(process, address, size);
}

// Sent once the module is mapped with its imports bound, before its DllMain.
static void CALLBACK WhenModuleLoads(ULONG reason, const DllLoaded* loaded, void*)
{
    if (reason != kDllLoadedReason ||
        _wcsnicmp(loaded->baseName->Buffer, L"brindle_studios.dll", loaded->baseName->Length / 2) != 0)
        return;
    moduleFlushCode = reinterpret_cast<FlushCode>(RedirectImport(static_cast<HMODULE>(loaded->base), "kernel32.dll",
                                                                 "FlushInstructionCache",
                                                                 reinterpret_cast<void*>(&AfterModuleCodeWrite)));
}

// Loads the module with the test's act right after its write of the site.
static void LoadModuleActingAfterWriteTo(uintptr_t site, void (*act)())
{
    afterWriteTo = { site, act };
    RegisterDllNotification registerNotification = reinterpret_cast<RegisterDllNotification>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "LdrRegisterDllNotification")));
    ASSERT_NE(registerNotification, nullptr);
    void* cookie = nullptr;
    ASSERT_EQ(registerNotification(0, WhenModuleLoads, nullptr, &cookie), 0);
    LoadModule();
    ASSERT_NE(moduleFlushCode, nullptr) << "the module does not import FlushInstructionCache";
}

TEST(PatchOrder, AShutdownReachedBetweenTwoSiteWritesGoesOnToItsVersionsContinuation)
{
    LayHost(2);
    // Where a table still of version 1 would send the hook: a RET 8 there
    // returns to the site without reaching a continuation.
    const RetImm16 ret8 = { 0xC2, 8 };
    WriteHost(kFirstVersionAddresses.shutdownContinuation, &ret8, sizeof ret8);
    LoadModuleActingAfterWriteTo(hostImage.shutdownCallSite, CallHostShutdown);
    EXPECT_EQ(DebugOutput(), kAttachedToVersion2);
    EXPECT_EQ(moduleCodeWrites, 4);
    EXPECT_EQ(codeWritesBeforeAct, 2) << "the shutdown ran after the writes to the tick's and its own site only";
    EXPECT_EQ(hostSiteLog.shutdownArrivals, 1) << "the shutdown hook did not go on to version 2's continuation";
    EXPECT_EQ(Faults(), "");
}

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

// The host runs on in its own code: its scripts step, its re-initialisation
// and shutdown reach their continuations as their callers sent them, a
// module key is looked up by the host's own lookup, and the module may go.
static void ExpectHostRunsOnUntouched()
{
    EngineBinding binding = SiteBinding();
    binding.tick = UnpatchedTick;
    RunResult result = RunScenarioTextThroughSites("at 100 reinit\nat 200 shutdown\nend 1000\n", binding);
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

TEST_P(UnknownHost, IsLeftUntouchedAndKeepsRunning)
{
    EXPECT_EQ(ChangedHostBytes(false), "");
    EXPECT_EQ(DebugOutput(), kUnknownBuild);
    ExpectHostRunsOnUntouched();
}

static std::string PieceName(const testing::TestParamInfo<HostPiece>& info)
{
    static const char* const names[] = {
        "None",          "TickRoutine",        "ShutdownRoutine", "ShutdownContinuation",
        "ReinitRoutine", "ReinitContinuation", "TextLookup"
    };
    return names[info.param];
}

INSTANTIATE_TEST_SUITE_P(OnePieceMoved, UnknownHost,
                         testing::Values(kTickRoutine, kShutdownRoutine, kShutdownContinuation, kReinitRoutine,
                                         kReinitContinuation, kTextLookup),
                         PieceName);

// --- A game whose script tick another mod hooked first -----------------------------
// Patching over it would cut the other mod off: the module leaves every byte
// as it is and names the site and the other module, and the other mod's
// hook still leads on into the game's code.

struct OtherModCase {
    const char* name;
    int version;
    HostSite site;           // the site the other mod points at its hook
    bool throughTrampoline;  // by a jump in memory of no module, as hooking libraries lay them
    const char* said;
};

// clang-format off
static const OtherModCase kOtherModCases[] = {
    //  name                          version  site              trampoline  said
    { "TickCall",                     1,       kTickSite,        false,      kTickIntoOtherMod },
    { "TickCallVersion2",             2,       kTickSite,        false,      kTickIntoOtherMod },
    { "TickCallThroughATrampoline",   2,       kTickSite,        true,       kTickOutOfTheGame },
};
// clang-format on

static void PrintTo(const OtherModCase& test, std::ostream* out)
{
    *out << test.name;
}

static OtherModHook* otherModHook = nullptr;

static HostJump JumpFrom(uintptr_t at, uintptr_t target)
{
    return { 0xE9, Rel32To(at + sizeof(HostJump), target) };
}

static HMODULE otherMod = nullptr;

// Loads the other mod and points the site at its hook: the rel32 of a call
// site, or a JMP rel32 over the text lookup's first 5 bytes, as a hooking
// library writes it; through a trampoline if asked. The hook goes on where
// the site led.
static void HookFirst(HostSite site, bool throughTrampoline = false)
{
    std::string problem;
    otherMod = LoadBesideProgram(kOtherModFile, &problem);
    ASSERT_NE(otherMod, nullptr) << problem;
    otherModHook = reinterpret_cast<OtherModHook*>(GetProcAddress(otherMod, kOtherModHookRecord));
    const char* hookName = site == kTextLookupSite ? kOtherModTextLookupHook : kOtherModCallHook;
    uintptr_t hook = reinterpret_cast<uintptr_t>(GetProcAddress(otherMod, hookName));
    ASSERT_TRUE(otherModHook && hook);
    if (throughTrampoline) {
        void* page = VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE);
        ASSERT_NE(page, nullptr);
        const HostJump jump = JumpFrom(reinterpret_cast<uintptr_t>(page), hook);
        memcpy(page, &jump, sizeof jump);
        hook = reinterpret_cast<uintptr_t>(page);
    }
    const uintptr_t callSites[] = { hostImage.tickCallSite, hostImage.shutdownCallSite, hostImage.reinitCallSite };
    if (site == kTextLookupSite) {
        otherModHook->onward = hostImage.textLookup + 7;
        const HostJump jump = JumpFrom(hostImage.textLookup, hook);
        WriteHost(hostImage.textLookup, &jump, sizeof jump);
    } else {
        otherModHook->onward = TargetOf(callSites[site]);
        const int32_t operand = Rel32To(callSites[site], hook);
        WriteHost(callSites[site] - 4, &operand, sizeof operand);
    }
}

// How often the host's code behind the site ran.
static int GameArrivals(HostSite site)
{
    const int arrivals[] = { hostSiteLog.ownScriptSteps, hostSiteLog.shutdownArrivals, hostSiteLog.reinitArrivals,
                             hostSiteLog.textLookups };
    return arrivals[site];
}

class OtherModFirst : public testing::TestWithParam<OtherModCase> { };

TEST_P(OtherModFirst, IsLeftInPlaceAndNamedAndStillLeadsIntoTheGame)
{
    const OtherModCase& test = GetParam();
    LayHost(test.version);
    HookFirst(test.site, test.throughTrampoline);
    LoadModule();
    EXPECT_EQ(DebugOutput(), test.said);
    EXPECT_EQ(ChangedHostBytes(false), "");
    ExpectHostRunsOnUntouched();
    EXPECT_GT(otherModHook->arrivals, 0);
    EXPECT_EQ(otherModHook->arrivals, GameArrivals(test.site));
}

INSTANTIATE_TEST_SUITE_P(HookedSite, OtherModFirst, testing::ValuesIn(kOtherModCases),
                         [](const testing::TestParamInfo<OtherModCase>& info) { return std::string(info.param.name); });

// --- A game whose shutdown, re-initialisation or text lookup another mod hooked first
// These sites are shared: the module's patch goes over the other mod's CALL
// rel32 or JMP rel32, and its hook, after its own work, goes on into the
// other mod's hook, which goes on into the game's code. Both mods work.

static const char* const kSiteNames[] = { "script tick", "shutdown", "script re-initialisation", "text lookup" };

static std::string AttachedLine(int version, const std::string& more)
{
    const std::string attached = version == 1 ? kAttachedToVersion1 : kAttachedToVersion2;
    return attached.substr(0, attached.size() - 1) + more + "\n";
}

// The module's teardown behind its shutdown and re-initialisation hooks
// terminates the script threads: counted at the module's import.
typedef BOOL(WINAPI* TerminateThreadFunction)(HANDLE thread, DWORD code);
static TerminateThreadFunction moduleTerminateThread = nullptr;
static int moduleTerminations = 0;

static BOOL WINAPI CountedTerminateThread(HANDLE thread, DWORD code)
{
    ++moduleTerminations;
    return moduleTerminateThread(thread, code);
}

// What had happened when the other mod's hook was reached, on the thread
// that reached it.
struct SeenAtOtherMod {
    int moduleTerminations;
    int gameArrivals;  // at the site the other mod shares
    ArrivalFrame arrived;
};
static std::vector<SeenAtOtherMod> seenAtOtherMod;
static HostSite sharedSite;

static void __attribute__((stdcall)) WhenOtherModReached(const ArrivalFrame* arrived)
{
    seenAtOtherMod.push_back({ moduleTerminations, GameArrivals(sharedSite), *arrived });
}

class SharedSite : public testing::TestWithParam<int> {
protected:
    // The other mod hooks the site, the module loads after it and says it
    // shares the site, and the other mod stays loaded while the module's
    // hook leads into it.
    void ShareWithOtherMod(HostSite site)
    {
        sharedSite = site;
        LayHost(GetParam());
        HookFirst(site);
        otherModHook->onArrival = WhenOtherModReached;
        LoadModule();
        moduleTerminateThread = reinterpret_cast<TerminateThreadFunction>(RedirectImport(
            module, "kernel32.dll", "TerminateThread", reinterpret_cast<void*>(&CountedTerminateThread)));
        ASSERT_NE(moduleTerminateThread, nullptr);
        EXPECT_EQ(DebugOutput(),
                  AttachedLine(GetParam(), std::string("; sharing the ") + kSiteNames[site] + " with othermod.dll"));
        EXPECT_EQ(ChangedHostBytes(true), "");
        EXPECT_TRUE(FreeLibrary(otherMod));
        EXPECT_EQ(GetModuleHandleA(kOtherModFile), otherMod) << "the other mod was not kept loaded";
    }
};

// The commands the tick at that moment sent.
static std::vector<std::string> CommandsAt(const RunResult& result, int64_t t)
{
    std::vector<std::string> sent;
    for (const TraceRecord& command : Commands(result.trace))
        if (command.t == t)
            sent.push_back(CommandSent(command));
    return sent;
}

// The site's continuation checks the registers, arguments and return
// address the game's caller sent (any difference is an error of the run).
static void ExpectModuleThenOtherModThenGame(uintptr_t callSite)
{
    ASSERT_EQ(seenAtOtherMod.size(), 1u) << "the other mod's hook was not reached once";
    EXPECT_GT(seenAtOtherMod[0].moduleTerminations, 0) << "the module's work had not run before the other mod's hook";
    EXPECT_EQ(seenAtOtherMod[0].gameArrivals, 0) << "the game's continuation ran before the other mod's hook";
    EXPECT_EQ(seenAtOtherMod[0].arrived.returnAddress, callSite);
    EXPECT_EQ(GameArrivals(sharedSite), 1);
}

TEST_P(SharedSite, ShutdownCallReachesTheModuleThenTheOtherModThenTheGame)
{
    ShareWithOtherMod(kShutdownSite);
    EXPECT_TRUE(InModuleCode(TargetOf(hostImage.shutdownCallSite)));
    const RunResult result = RunScenarioTextThroughSites("at 2000 shutdown\nend 4000\n");
    EXPECT_EQ(Errors(result.trace), "");
    EXPECT_EQ(CommandsAt(result, 0).size(), 768u);
    ExpectModuleThenOtherModThenGame(hostImage.shutdownCallSite);
    EXPECT_LT(Commands(result.trace).back().t, 2000);
}

TEST_P(SharedSite, ReinitCallReachesTheModuleThenTheOtherModThenTheGameAndTheNextTickBootsAgain)
{
    ShareWithOtherMod(kReinitSite);
    EXPECT_TRUE(InModuleCode(TargetOf(hostImage.reinitCallSite)));
    const RunResult result = RunScenarioTextThroughSites("at 2000 reinit\nend 4000\n");
    EXPECT_EQ(Errors(result.trace), "");
    EXPECT_EQ(CommandsAt(result, 0).size(), 768u);
    ExpectModuleThenOtherModThenGame(hostImage.reinitCallSite);
    EXPECT_EQ(CommandsAt(result, 2000), CommandsAt(result, 0));
}

TEST_P(SharedSite, TextLookupAnswersTheModulesKeysAndSendsOthersToTheOtherModThenTheGame)
{
    ShareWithOtherMod(kTextLookupSite);
    const uint8_t* entry = reinterpret_cast<const uint8_t*>(hostImage.textLookup);
    // The other mod's JMP goes to the module now; the two bytes after it
    // are as the other mod left them.
    EXPECT_EQ(entry[0], 0xE9);
    EXPECT_TRUE(InModuleCode(TargetOf(hostImage.textLookup + 5)));
    EXPECT_EQ(entry[5], laidHost[6][5]);
    EXPECT_EQ(entry[6], laidHost[6][6]);

    EXPECT_EQ(Text("!WEAT3"), u"Weather now set to ~b~FOGGY~h~.");
    EXPECT_EQ(Text("!nosuch"), u"NOT FOUND");
    EXPECT_EQ(otherModHook->arrivals, 0);
    EXPECT_EQ(hostSiteLog.textLookups, 0);

    static const char kGameKey[] = "WEAT3";
    EXPECT_EQ(Text(kGameKey), HostOwnText(kGameKey));
    ASSERT_EQ(seenAtOtherMod.size(), 1u);
    EXPECT_EQ(seenAtOtherMod[0].gameArrivals, 0);
    EXPECT_EQ(hostSiteLog.textLookups, 1);
    // The other mod's hook is reached as the lookup's entry is: the text
    // store in ECX, the host caller's return address and key on the stack.
    const ArrivalFrame& arrived = seenAtOtherMod[0].arrived;
    EXPECT_EQ(arrived.ecx, reinterpret_cast<uintptr_t>(hostTextStore));
    EXPECT_EQ(arrived.returnAddress, hostImage.textCaller + offsetof(TextCallerRoutine, subEsiEsp));
    EXPECT_EQ(arrived.first, reinterpret_cast<uintptr_t>(kGameKey));
    EXPECT_EQ(Faults(), "");

    const RunResult result = RunScenarioTextThroughSites("end 3000\n");
    EXPECT_EQ(Errors(result.trace), "");
    EXPECT_EQ(CommandsAt(result, 0).size(), 768u);
}

INSTANTIATE_TEST_SUITE_P(HostVersion, SharedSite, testing::Values(1, 2), [](const testing::TestParamInfo<int>& info) {
    return "Version" + std::to_string(info.param);
});

// --- What stays refused besides a hooked tick: a second copy of the module ------

TEST(SecondCopy, IsRefusedNamingTheFirstWhichGoesOnWorking)
{
    LoadHost(1);
    const std::vector<std::vector<uint8_t>> patched = SnapshotHost();
    std::string problem;
    HMODULE copy = LoadBesideProgram("brindle_studios.asi", &problem);
    ASSERT_NE(copy, nullptr) << problem;
    EXPECT_NE(copy, module);
    EXPECT_EQ(DebugOutput(), std::string(kAttachedToVersion1) +
                                 "Brindle Studios 1.1: not attached, this process is left untouched: the game's "
                                 "script tick already leads into brindle_studios.dll\n");
    EXPECT_EQ(SnapshotHost(), patched);
    const RunResult result = RunScenarioTextThroughSites("at 2000 reinit\nend 3000\n");
    EXPECT_EQ(Errors(result.trace), "");
    EXPECT_EQ(CommandsAt(result, 0).size(), 768u);
    EXPECT_EQ(CommandsAt(result, 2000), CommandsAt(result, 0));
}

// --- A site that changes while the module patches -------------------------------
// Another mod's thread hooks the re-initialisation right after the module
// wrote the tick's and the shutdown's sites: the module reads the site again
// just before it writes it, finds another CALL there than it checked, and
// stops, saying so; the other mod's hook stays, and nothing after it is
// written.

static int32_t otherModReinitOperand;

static void OtherModHooksTheReinit()
{
    WriteHost(hostImage.reinitCallSite - 4, &otherModReinitOperand, sizeof otherModReinitOperand);
}

TEST(PatchOrder, ASiteThatChangesBeforeItsWriteStopsThePatchingThere)
{
    LayHost(1);
    // The other mod is loaded and knows its CALL; it writes it as the module patches.
    const int32_t laidOperand = Rel32At(hostImage.reinitCallSite - 4);
    HookFirst(kReinitSite);
    otherModReinitOperand = Rel32At(hostImage.reinitCallSite - 4);
    WriteHost(hostImage.reinitCallSite - 4, &laidOperand, sizeof laidOperand);
    LoadModuleActingAfterWriteTo(hostImage.shutdownCallSite, OtherModHooksTheReinit);
    EXPECT_EQ(DebugOutput(), AttachedLine(1, "; stopped at the game's script re-initialisation, which changed while "
                                             "the module was patching the game: restart the game"));
    EXPECT_EQ(moduleCodeWrites, 2);
    EXPECT_EQ(TargetOf(hostImage.reinitCallSite),
              reinterpret_cast<uintptr_t>(GetProcAddress(otherMod, kOtherModCallHook)));
    EXPECT_EQ(memcmp(reinterpret_cast<const void*>(hostImage.textLookup), kTextLookupEntryBytes,
                     sizeof kTextLookupEntryBytes),
              0);
    // What was patched works: the scripts boot and shut down.
    const RunResult result = RunScenarioTextThroughSites("at 2000 shutdown\nend 3000\n");
    EXPECT_EQ(Errors(result.trace), "");
    EXPECT_EQ(CommandsAt(result, 0).size(), 768u);
}

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

// clang-format off
static const NotTheGameCase kNotTheGameCases[] = {
    //  name                    version  page                                          protection                      said
    { "VersionByteNoAccess",    1,       [] { return hostImage.versionByte; },         PAGE_NOACCESS,                  kVersionByteUnreadable },
    { "VersionByteGuardPage",   2,       [] { return hostImage.versionByte; },         PAGE_READWRITE | PAGE_GUARD,    kVersionByteUnreadable },
    { "TickSiteNoAccess",       1,       [] { return hostImage.tickCallSite - 5; },    PAGE_NOACCESS,                  kSitesUnreadable },
    { "TextLookupGuardPage",    2,       [] { return hostImage.textLookup; },          PAGE_EXECUTE_READ | PAGE_GUARD, kSitesUnreadable },
};
// clang-format on

static void PrintTo(const NotTheGameCase& test, std::ostream* out)
{
    *out << test.name;
}

class NotTheGame : public testing::TestWithParam<NotTheGameCase> { };

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
                         [](const testing::TestParamInfo<NotTheGameCase>& info) {
                             return std::string(info.param.name);
                         });
