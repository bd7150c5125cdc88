// The real brindle_studios.dll loaded into a plain program that is not the
// game, as a launcher or a tool that loads plug-ins would: its image lies far
// above the host's addresses, where Wine keeps memory only reserved. The
// module loads, reads and writes nothing there, says why, may be unloaded,
// and the program runs on.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "hostsim/win32/debug_output.h"
#include "hostsim/win32/module_loader.h"

static const uintptr_t kVersionByte = 0x608578;

static MEMORY_BASIC_INFORMATION RegionAt(uintptr_t address)
{
    MEMORY_BASIC_INFORMATION region = {};
    VirtualQuery(reinterpret_cast<const void*>(address), &region, sizeof region);
    return region;
}

TEST(NotTheGame, HostAddressesNotCommittedLeaveTheProcessUntouched)
{
    // Unmapped addresses are reserved here, so both cases take the same way.
    if (RegionAt(kVersionByte).State == MEM_FREE) {
        ASSERT_NE(VirtualAlloc(reinterpret_cast<void*>(kVersionByte & ~0xFFFFu), 0x10000, MEM_RESERVE, PAGE_NOACCESS),
                  nullptr);
    }
    const MEMORY_BASIC_INFORMATION before = RegionAt(kVersionByte);
    ASSERT_EQ(before.State, static_cast<DWORD>(MEM_RESERVE));

    KeepDebugOutput();
    std::string problem;
    HMODULE module = LoadModuleBesideProgram(&problem);
    ASSERT_NE(module, nullptr) << problem;
    EXPECT_EQ(DebugOutput(), "Brindle Studios 1.1: not attached, this process is left untouched: the game's version "
                             "byte (0x608578) is not readable here, so this is not the game\n");
    const MEMORY_BASIC_INFORMATION after = RegionAt(kVersionByte);
    EXPECT_EQ(after.State, before.State);
    EXPECT_EQ(after.BaseAddress, before.BaseAddress);
    EXPECT_EQ(after.RegionSize, before.RegionSize);

    // A module that patched nothing may go, and the program goes on.
    EXPECT_TRUE(FreeLibrary(module));
    EXPECT_EQ(GetModuleHandleA("brindle_studios.dll"), nullptr);
    module = LoadModuleBesideProgram(&problem);
    ASSERT_NE(module, nullptr) << problem;
    EXPECT_TRUE(FreeLibrary(module));
}
