// The boot script.
#include "scripts/boot.h"

#include "script/scheduler.h"
#include "scripts/welcome_thread.h"

void BootScript()
{
    InitScriptThreadList();
    StartBootThread(WelcomeThread);
}
