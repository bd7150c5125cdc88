// The module's own use of the heap, told apart from the substitute host's:
// the test program's operator new counts what module code allocates and
// frees, and a binding marks where module code runs.
#pragma once

#include <cstdint>

#include "hostsim/engine/engine.h"

using namespace hostsim;

struct ModuleHeap {
    int64_t bytes;  // held now by allocations that module code made
    int64_t blocks;
};

ModuleHeap CurrentModuleHeap();

// The direct binding with the module's work counted: the tick, the
// re-initialisation and shutdown hooks' work, and every script thread
// outside the host's interpreter. Call after AttachDirectHost; it also
// points the command bridge at an interpreter that marks the host's part.
EngineBinding CountingDirectBinding();
