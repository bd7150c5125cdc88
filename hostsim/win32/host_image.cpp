// Laying the substitute host's code at the host's fixed addresses, and the
// host's own functions that this code reaches.
#include "hostsim/win32/host_image.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "hostsim/engine/engine.h"
#include "hostsim/win32/host_code.h"
#include "hostsim/win32/stall_holds.h"

namespace hostsim {

extern "C" uint8_t hostArenaStart[];
extern "C" uint8_t hostArenaEnd[];

HostImage hostImage;
HostSiteLog hostSiteLog;
const uint8_t hostTextStore[16] = {};

// --- The host versions ----------------------------------------------------------

struct HostVersionLayout {
    int version;
    uint8_t versionByte;
    uintptr_t tickCallSite;
    uintptr_t shutdownCallSite;
    uintptr_t shutdownContinuation;
    uintptr_t reinitCallSite;
    uintptr_t reinitContinuation;
    uintptr_t textLookup;
    uintptr_t scriptSpace;
};

// clang-format off
static const HostVersionLayout kHostVersions[] = {
    // version  byte  tick site  shutdown site  shutdown routine  reinit site  reinit routine  text lookup  script space
    { 1,        0x5A, 0x44FDBA,  0x49581C,      0x4A6E80,         0x4A4E9B,    0x450330,       0x584F30,    0x821280 },
    { 2,        0x81, 0x44FDBA,  0x49582C,      0x4A6EA0,         0x4A4EBB,    0x450330,       0x584F50,    0x821288 },
};
// clang-format on
static_assert(sizeof kHostVersions / sizeof kHostVersions[0] == 2, "two host versions");

static const uintptr_t kInterpreter = 0x44FBE0;
static const uintptr_t kVersionByte = 0x608578;
static const uintptr_t kTextCaller = 0x584E00;
static const uintptr_t kArenaFirst = 0x401000;
static const uintptr_t kArenaPast = 0x821290;  // past the script space base of both versions
static const uintptr_t kMovedBy = 16;

// What the shutdown and re-initialisation routines hand their continuations.
static const uint32_t kFirstArgument = 0xC0DE0001;
static const uint32_t kSecondArgument = 0xC0DE0002;

struct LoadedRegister {
    const char* name;
    uint8_t movOpcode;  // B8+r
    uint32_t value;
    uint32_t ArrivalFrame::*field;
};

// clang-format off
static const LoadedRegister kLoadedRegisters[] = {
    // name   MOV   value        frame field
    { "EAX",  0xB8, 0x1A2B3C01,  &ArrivalFrame::eax },
    { "ECX",  0xB9, 0x1A2B3C02,  &ArrivalFrame::ecx },
    { "EDX",  0xBA, 0x1A2B3C03,  &ArrivalFrame::edx },
    { "EBX",  0xBB, 0x1A2B3C04,  &ArrivalFrame::ebx },
    { "EBP",  0xBD, 0x1A2B3C05,  &ArrivalFrame::ebp },
    { "ESI",  0xBE, 0x1A2B3C06,  &ArrivalFrame::esi },
    { "EDI",  0xBF, 0x1A2B3C07,  &ArrivalFrame::edi },
};
// clang-format on
static_assert(sizeof kLoadedRegisters / sizeof kLoadedRegisters[0] ==
                  sizeof(CallerRoutine::load) / sizeof(CallerRoutine::load[0]),
              "every general-purpose register but ESP");

// --- The host's own functions -------------------------------------------------

// A text lookup of a late script thread may fault while the host's thread
// takes the faults of its tick.
static std::mutex faultsLock;

static void Fault(const char* format, ...) __attribute__((format(printf, 1, 2)));
static void Fault(const char* format, ...)
{
    char text[160];
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    std::lock_guard<std::mutex> hold(faultsLock);
    hostSiteLog.faults.push_back(text);
}

std::vector<std::string> TakeSiteFaults()
{
    std::lock_guard<std::mutex> hold(faultsLock);
    std::vector<std::string> faults;
    faults.swap(hostSiteLog.faults);
    return faults;
}

// The host's own script step, which the module's tick replaces.
static uint32_t __attribute__((fastcall)) HostOwnScriptStep(void*)
{
    ++hostSiteLog.ownScriptSteps;
    return 1;
}

enum Continuation {
    kShutdown,
    kReinit,
};

// Reached from a ContinuationRoutine: checks that the continuation was
// entered as its host caller called it, then does the host's own work.
static void __attribute__((stdcall)) ContinuationArrived(uint32_t which, const ArrivalFrame* frame)
{
    const char* name = which == kShutdown ? "shutdown" : "re-initialisation";
    uintptr_t callSite = which == kShutdown ? hostImage.shutdownCallSite : hostImage.reinitCallSite;
    if (frame->returnAddress != callSite)
        Fault("%s continuation returns to %08X, not to its call site %08X", name,
              static_cast<unsigned>(frame->returnAddress), static_cast<unsigned>(callSite));
    if (frame->first != kFirstArgument || frame->second != kSecondArgument)
        Fault("%s continuation reached with stack arguments %08X %08X, not %08X %08X", name,
              static_cast<unsigned>(frame->first), static_cast<unsigned>(frame->second),
              static_cast<unsigned>(kFirstArgument), static_cast<unsigned>(kSecondArgument));
    for (const LoadedRegister& reg : kLoadedRegisters)
        if (frame->*reg.field != reg.value)
            Fault("%s continuation reached with %s %08X, not %08X", name, reg.name,
                  static_cast<unsigned>(frame->*reg.field), static_cast<unsigned>(reg.value));
    // The host's own teardown, under the lock its interpreter holds while a
    // command stalls.
    EnterHostLock();
    if (which == kShutdown) {
        ++hostSiteLog.shutdownArrivals;
        EngineShutdownContinuation();
    } else {
        ++hostSiteLog.reinitArrivals;
        EngineReinitContinuation();
    }
    LeaveHostLock();
}

// The body of the host's text lookup, after its four entry instructions.
static const char16_t* HostTextLookupBody(const uint8_t* store, const char* key)
{
    if (store != hostTextStore)
        Fault("text lookup of %.8s reached with text store %p, not %p", key, static_cast<const void*>(store),
              static_cast<const void*>(hostTextStore));
    ++hostSiteLog.textLookups;
    return HostOwnText(key);
}

// Written by the TextCallerRoutine after every lookup.
static int32_t textStackImbalance;

// --- Laying the code -------------------------------------------------------------

static int32_t Rel32(uintptr_t instruction, size_t length, uintptr_t target)
{
    return static_cast<int32_t>(static_cast<uint32_t>(target) - static_cast<uint32_t>(instruction + length));
}

static HostCall CallAt(uintptr_t instruction, uintptr_t target)
{
    HostCall call;
    call.opcode = 0xE8;
    call.operand = Rel32(instruction, sizeof call, target);
    return call;
}

static uintptr_t Address(const void* function)
{
    return reinterpret_cast<uintptr_t>(function);
}

static PushImm32 Push(uint32_t value)
{
    PushImm32 push;
    push.opcode = 0x68;
    push.value = value;
    return push;
}

// Copies a piece into the arena and makes its pages execute-read; a page
// may already hold a piece laid before.
template <typename Piece>
static void Lay(uintptr_t address, const Piece& piece)
{
    void* target = reinterpret_cast<void*>(address);
    DWORD old;
    VirtualProtect(target, sizeof piece, PAGE_READWRITE, &old);
    memcpy(target, &piece, sizeof piece);
    VirtualProtect(target, sizeof piece, PAGE_EXECUTE_READ, &old);
}

static void LayInterpreter(uintptr_t at)
{
    HostJump jump;
    jump.opcode = 0xE9;
    jump.operand = Rel32(at, sizeof jump, Address(reinterpret_cast<const void*>(&EngineInterpret)));
    Lay(at, jump);
}

static void LayTickRoutine(uintptr_t at)
{
    TickRoutine routine;
    routine.callStep =
        CallAt(at + offsetof(TickRoutine, callStep), Address(reinterpret_cast<const void*>(&HostOwnScriptStep)));
    routine.ret = 0xC3;
    Lay(at, routine);
}

static void LayCallerRoutine(uintptr_t at, uintptr_t continuation)
{
    CallerRoutine routine;
    routine.pushad = 0x60;
    routine.pushSecond = Push(kSecondArgument);
    routine.pushFirst = Push(kFirstArgument);
    for (size_t n = 0; n < sizeof kLoadedRegisters / sizeof kLoadedRegisters[0]; ++n) {
        routine.load[n].opcode = kLoadedRegisters[n].movOpcode;
        routine.load[n].value = kLoadedRegisters[n].value;
    }
    routine.callContinuation = CallAt(at + offsetof(CallerRoutine, callContinuation), continuation);
    routine.popad = 0x61;
    routine.ret = 0xC3;
    Lay(at, routine);
}

static void LayContinuation(uintptr_t at, Continuation which)
{
    ContinuationRoutine routine;
    routine.pushad = 0x60;
    routine.pushEsp = 0x54;
    routine.pushWhich = Push(which);
    routine.callArrived = CallAt(at + offsetof(ContinuationRoutine, callArrived),
                                 Address(reinterpret_cast<const void*>(&ContinuationArrived)));
    routine.popad = 0x61;
    routine.ret.opcode = 0xC2;
    routine.ret.bytes = 8;
    Lay(at, routine);
}

static void LayTextLookup(uintptr_t at)
{
    TextLookupFunction function = {
        0x53, 0x55, { 0x8B, 0xD9 }, { 0x83, 0xEC, 0x40 }, { 0xFF, 0x74, 0x24, 0x4C }, 0x53, {}, { 0x83, 0xC4, 0x48 },
        0x5D, 0x5B, { 0xC2, 4 },
    };
    function.callBody = CallAt(at + offsetof(TextLookupFunction, callBody),
                               Address(reinterpret_cast<const void*>(&HostTextLookupBody)));
    Lay(at, function);
}

static void LayTextCaller(uintptr_t at, uintptr_t textLookup)
{
    TextCallerRoutine routine = {
        0x56,
        { 0x89, 0xE6 },
        { 0xFF, 0x74, 0x24, 0x08 },
        { 0xB9, 0 },
        {},
        { 0x29, 0xE6 },
        { 0x89, 0x35 },
        0,
        { 0x8D, 0x24, 0x34 },
        0x5E,
        0xC3,
    };
    routine.loadStore.value = static_cast<uint32_t>(Address(hostTextStore));
    routine.callLookup = CallAt(at + offsetof(TextCallerRoutine, callLookup), textLookup);
    routine.imbalanceAt = static_cast<uint32_t>(Address(&textStackImbalance));
    Lay(at, routine);
}

bool HostArenaInPlace(std::string* problem)
{
    if (Address(hostArenaStart) == kArenaFirst && Address(hostArenaEnd) >= kArenaPast)
        return true;
    char text[120];
    snprintf(text, sizeof text, "the host arena is at %p to %p, not %08X to past %08X",
             static_cast<void*>(hostArenaStart), static_cast<void*>(hostArenaEnd), static_cast<unsigned>(kArenaFirst),
             static_cast<unsigned>(kArenaPast));
    *problem = text;
    return false;
}

void LayHostImage(int version, HostPiece moved)
{
    const HostVersionLayout& layout = kHostVersions[version == 2 ? 1 : 0];
    auto place = [moved](HostPiece piece, uintptr_t address) { return piece == moved ? address + kMovedBy : address; };

    HostImage& image = hostImage;
    image.version = layout.version;
    image.interpreter = kInterpreter;
    image.scriptSpace = layout.scriptSpace;
    image.versionByte = kVersionByte;
    image.tickCallSite = place(kTickRoutine, layout.tickCallSite);
    image.tickRoutine = image.tickCallSite - offsetof(TickRoutine, ret);
    image.shutdownCallSite = place(kShutdownRoutine, layout.shutdownCallSite);
    image.shutdownRoutine = image.shutdownCallSite - offsetof(CallerRoutine, popad);
    image.shutdownContinuation = place(kShutdownContinuation, layout.shutdownContinuation);
    image.reinitCallSite = place(kReinitRoutine, layout.reinitCallSite);
    image.reinitRoutine = image.reinitCallSite - offsetof(CallerRoutine, popad);
    image.reinitContinuation = place(kReinitContinuation, layout.reinitContinuation);
    image.textLookup = place(kTextLookup, layout.textLookup);
    image.textCaller = kTextCaller;

    LayInterpreter(image.interpreter);
    LayTickRoutine(image.tickRoutine);
    LayCallerRoutine(image.shutdownRoutine, image.shutdownContinuation);
    LayContinuation(image.shutdownContinuation, kShutdown);
    LayCallerRoutine(image.reinitRoutine, image.reinitContinuation);
    LayContinuation(image.reinitContinuation, kReinit);
    LayTextLookup(image.textLookup);
    LayTextCaller(image.textCaller, image.textLookup);
    *reinterpret_cast<uint8_t*>(image.versionByte) = layout.versionByte;
    SetEngineScriptSpace(reinterpret_cast<uint8_t*>(image.scriptSpace));
    SetEngineThreadServices(Win32ThreadServices());
}

// --- Running the code -----------------------------------------------------------

uint32_t CallHostTick(void* record)
{
    typedef uint32_t(__attribute__((fastcall)) * Step)(void* record);
    return reinterpret_cast<Step>(hostImage.tickRoutine)(record);
}

void CallHostShutdown()
{
    reinterpret_cast<void (*)()>(hostImage.shutdownRoutine)();
}

void CallHostReinit()
{
    reinterpret_cast<void (*)()>(hostImage.reinitRoutine)();
}

const char16_t* CallHostTextLookup(const char* key)
{
    typedef const char16_t* (*Lookup)(const char* key);
    const char16_t* text = reinterpret_cast<Lookup>(hostImage.textCaller)(key);
    if (textStackImbalance != 0)
        Fault("text lookup of %.8s moved the host's stack by %d bytes", key, static_cast<int>(textStackImbalance));
    return text;
}

}  // namespace hostsim
