// What the benchmarks need from each build: the module under test and how it
// is reached, and the counters of its heap, handles and CPU time.
//
// Natively the module is linked into the benchmark program. In the win32
// build the module under test is the real brindle_studios.dll, reached
// through the host code sites it patched; the program also links the same
// module code (the objects the DLL is made of) for the measurements that
// need to call into it directly: a routine of the benchmark's own, the bare
// command bridge.
#pragma once

#include <cstdint>
#include <string>

#include "hostsim/engine/engine.h"

using namespace hostsim;

// The build and where it runs, for the table's heading.
const char* BuildDescription();

// Makes the module under test ready for RunHost. False, with the reason,
// when it cannot be loaded or attached.
bool StartModuleUnderTest(std::string* problem);
// The module under test, as the host reaches it.
EngineBinding ModuleBinding();
// The linked module, reached directly: ticks are ScriptTick.
EngineBinding LinkedBinding();
// Points the linked module's bridge at the engine again (after a benchmark
// pointed it elsewhere).
void AttachLinkedModule();

// Where the threads run: every thread on the first core; or the calling
// (host's) thread on the first core and every other thread of the process
// on the second. Threads started later are placed again by the next call.
void PlaceThreads(bool oneCore);
// Every thread on every core again.
void UnplaceThreads();

// What the module under test holds now.
struct ModuleCounts {
    int64_t heapBytes;   // bytes of the blocks it allocated and has not freed
    int64_t heapBlocks;  // those blocks
    int events;          // event handles it created and has not closed
    int threads;         // thread handles it created and has not closed
    int osThreads;       // threads of the whole process
    int processHandles;  // handles of the whole process; -1 where not counted
};
ModuleCounts CountModule();

// Allocation calls (operator new and malloc, anywhere in the program) so far.
int64_t AllocationCalls();

// CPU time, in ns, of the whole process, and of the module's own threads
// (every thread but the host's natively; under Wine the module's threads,
// read to the 10 ms that Wine keeps thread times in).
int64_t ProcessCpuNs();
int64_t ModuleThreadsCpuNs();
