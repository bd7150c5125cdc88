// Counting the module's heap: every allocation of the test program carries a
// small header that says whether module code made it, so that its free is
// counted against the same total.
#include "tests/module_heap.h"

#include <atomic>
#include <cstdlib>
#include <new>
#include <thread>

#include "host/hook_work.h"
#include "host/host_addresses.h"
#include "script/scheduler.h"
#include "text/text_table.h"

namespace {

struct alignas(16) BlockHeader {
    size_t size;
    bool counted;
};

std::atomic<bool> counting { false };
std::atomic<int64_t> moduleBytes { 0 };
std::atomic<int64_t> moduleBlocks { 0 };
std::thread::id hostThread;
thread_local bool inModuleCall = false;  // the host's thread, inside a call into the module
thread_local int inHostInterpreter = 0;  // any thread, inside the host's interpreter

bool ModuleCodeRuns()
{
    if (!counting.load(std::memory_order_relaxed) || inHostInterpreter > 0)
        return false;
    return inModuleCall || std::this_thread::get_id() != hostThread;
}

void* Allocate(size_t size)
{
    BlockHeader* header = static_cast<BlockHeader*>(malloc(sizeof(BlockHeader) + size));
    if (!header)
        return nullptr;
    header->size = size;
    header->counted = ModuleCodeRuns();
    if (header->counted) {
        moduleBytes += static_cast<int64_t>(size);
        ++moduleBlocks;
    }
    return header + 1;
}

void Free(void* block)
{
    if (!block)
        return;
    BlockHeader* header = static_cast<BlockHeader*>(block) - 1;
    if (header->counted) {
        moduleBytes -= static_cast<int64_t>(header->size);
        --moduleBlocks;
    }
    free(header);
}

void HOST_CALLBACK CountingInterpret(HostScript* script)
{
    ++inHostInterpreter;
    EngineInterpret(script);
    --inHostInterpreter;
}

void Tick(HostScript* script)
{
    inModuleCall = true;
    ScriptTick(script);
    inModuleCall = false;
}

void Reinit()
{
    inModuleCall = true;
    ReinitScripts();
    inModuleCall = false;
    EngineReinitContinuation();
}

void Shutdown()
{
    inModuleCall = true;
    ShutdownScripts();
    inModuleCall = false;
    EngineShutdownContinuation();
}

const char16_t* LookupText(const char* key)
{
    return key[0] == '!' ? LookupCustomText(key) : HostOwnText(key);
}

}  // namespace

void* operator new(size_t size)
{
    void* block = Allocate(size);
    if (!block)
        throw std::bad_alloc();
    return block;
}

void* operator new[](size_t size)
{
    return operator new(size);
}

void* operator new(size_t size, const std::nothrow_t&) noexcept
{
    return Allocate(size);
}

void* operator new[](size_t size, const std::nothrow_t&) noexcept
{
    return Allocate(size);
}

void operator delete(void* block) noexcept
{
    Free(block);
}

void operator delete[](void* block) noexcept
{
    Free(block);
}

void operator delete(void* block, size_t) noexcept
{
    Free(block);
}

void operator delete[](void* block, size_t) noexcept
{
    Free(block);
}

void operator delete(void* block, const std::nothrow_t&) noexcept
{
    Free(block);
}

void operator delete[](void* block, const std::nothrow_t&) noexcept
{
    Free(block);
}

ModuleHeap CurrentModuleHeap()
{
    return { moduleBytes.load(), moduleBlocks.load() };
}

EngineBinding CountingDirectBinding()
{
    hostThread = std::this_thread::get_id();
    hostAddresses.interpreter = reinterpret_cast<uintptr_t>(&CountingInterpret);
    counting = true;
    return { Tick, Reinit, Shutdown, LookupText };
}
