// Commands about the running script itself: waiting, starting and naming a
// script, and asking the host whether a model is loaded.
#pragma once

#include <cstdint>

struct ScriptControl {
    // True once the host has the model loaded; every model-wait loop polls it.
    bool IsModelAvailable(int32_t model);
    // Has the host start a script whose instruction pointer is the thread id.
    void StartScript(int32_t id);
    bool Command004E();
    void SetScriptName(const char* name);
    // The first step of a wait; the yield that follows is the scheduler's.
    void Wait(int32_t ms);
};

// Made by the boot script, used by every script thread for the module's life.
extern ScriptControl* scriptControl;
