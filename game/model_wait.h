// The model-wait loop: asks the host for a model and gives the owner's turn
// away until the host has it loaded. Peds and the player poll every host step
// (0 ms), cars every 250 ms. There is no limit: a model that never arrives
// keeps the owner waiting for ever.
#pragma once

#include <cstdint>

struct ScriptThread;

// Requests the model, has the host load what is requested, then polls,
// waiting pollMs on owner after each poll that finds the model missing.
void WaitForModel(ScriptThread* owner, int32_t model, int32_t pollMs);

// As WaitForModel, but only when a first poll finds the model missing; a
// loaded model costs that one poll and nothing more.
void WaitForModelIfMissing(ScriptThread* owner, int32_t model, int32_t pollMs);
