// The work of the shutdown and re-initialisation hooks.
#include "host/hook_work.h"

#include "script/scheduler.h"
#include "scripts/welcome_thread.h"

void ShutdownScripts()
{
    TeardownScriptThreads();
}

void ReinitScripts()
{
    if (!scriptsStarted)
        return;
    TeardownScriptThreads();
    scriptsStopping = 0;
    scriptsStarted = 0;
    startMarkerPending = 1;
}
