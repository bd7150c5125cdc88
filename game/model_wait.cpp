// The model-wait loop shared by peds, cars and the player.
#include "game/model_wait.h"

#include "game/command_catalogue.h"
#include "game/script_control.h"
#include "script/scheduler.h"

void WaitForModel(ScriptThread* owner, int32_t model, int32_t pollMs)
{
    CallCommand(kRequestModel, model);
    CallCommand(kLoadRequestedModels);
    while (!scriptControl->IsModelAvailable(model))
        WaitMs(owner, pollMs);
}

void WaitForModelIfMissing(ScriptThread* owner, int32_t model, int32_t pollMs)
{
    if (!scriptControl->IsModelAvailable(model))
        WaitForModel(owner, model, pollMs);
}
