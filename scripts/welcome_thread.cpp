// The welcome thread.
#include "scripts/welcome_thread.h"

#include "script/scheduler.h"

uint8_t startMarkerPending = 1;

void WelcomeThread(ScriptThread* self)
{
    WaitForFirstTurn(self);
    for (;;)
        WaitMs(self, 100);
}
