// Script control commands.
#include "game/script_control.h"

#include "game/command_catalogue.h"

ScriptControl* scriptControl = nullptr;

bool ScriptControl::IsModelAvailable(int32_t model)
{
    return CallCommand(kIsModelAvailable, model) != 0;
}

void ScriptControl::StartScript(int32_t id)
{
    CallCommand(kStartScript, id);
}

bool ScriptControl::Command004E()
{
    return CallCommand(kCommand004E) != 0;
}

void ScriptControl::SetScriptName(const char* name)
{
    CallCommand(kSetScriptName, name);
}

void ScriptControl::Wait(int32_t ms)
{
    CallCommand(kWait, ms);
}
