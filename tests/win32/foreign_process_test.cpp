// The real brindle_studios.dll loaded into a plain program that is not the
// game, as a launcher or a tool that loads plug-ins would, or as the game
// would be if Windows had loaded its program elsewhere than at 0x400000: its
// image lies far above the host's addresses, where Wine keeps memory only
// reserved. The module loads, reads and writes nothing there, says why, may
// be unloaded, and the program runs on.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/win32/debug_output.h"
#include "hostsim/win32/module_loader.h"

using namespace hostsim;

static const uintptr_t kVersionByte = 0x608578;

static MEMORY_BASIC_INFORMATION RegionAt(uintptr_t address)
{
    MEMORY_BASIC_INFORMATION region = {};
    VirtualQuery(reinterpret_cast<const void*>(address), &region, sizeof region);
    return region;
}

// Loads the module, expects it to leave the host addresses as they are and
// say why, unloads it, and goes on.
static void LoadExpectingNothingDone()
{
    const MEMORY_BASIC_INFORMATION before = RegionAt(kVersionByte);
    const size_t said = DebugOutput().size();
    std::string problem;
    HMODULE module = LoadModuleBesideProgram(&problem);
    ASSERT_NE(module, nullptr) << problem;
    EXPECT_EQ(DebugOutput().substr(said), "Brindle Studios 1.1: not attached, this process is left untouched: its "
                                          "program is not loaded at 0x400000, where the game's code must be, so this "
                                          "is not the game or the game was moved\n");
    const MEMORY_BASIC_INFORMATION after = RegionAt(kVersionByte);
    EXPECT_EQ(after.State, before.State);
    EXPECT_EQ(after.BaseAddress, before.BaseAddress);
    EXPECT_EQ(after.RegionSize, before.RegionSize);
    // A module that patched nothing may go.
    EXPECT_TRUE(FreeLibrary(module));
    EXPECT_EQ(GetModuleHandleA("brindle_studios.dll"), nullptr);
}

TEST(NotTheGame, HostAddressesUnmappedOrOnlyReservedLeaveTheProcessUntouched)
{
    KeepDebugOutput();
    // Wine keeps these addresses reserved in a program like this one; where
    // they are unmapped, that is tried first, and then they are reserved.
    if (RegionAt(kVersionByte).State == MEM_FREE) {
        LoadExpectingNothingDone();
        ASSERT_NE(VirtualAlloc(reinterpret_cast<void*>(kVersionByte & ~0xFFFFu), 0x10000, MEM_RESERVE, PAGE_NOACCESS),
                  nullptr);
    }
    ASSERT_EQ(RegionAt(kVersionByte).State, static_cast<DWORD>(MEM_RESERVE));
    LoadExpectingNothingDone();
    // And once more: the process is as it was.
    LoadExpectingNothingDone();
}
