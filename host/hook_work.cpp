// The work of the shutdown and re-initialisation hooks.
#include "host/hook_work.h"

#include "script/scheduler.h"

void ShutdownScripts()
{
    TeardownScriptThreads();
}

void ReinitScripts()
{
    if (!scheduler.scriptsStarted)
        return;
    TeardownScriptThreads();
    RestartScripts();
}
