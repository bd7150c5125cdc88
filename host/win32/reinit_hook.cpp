// The re-initialisation hook: the host's script re-initialisation CALL
// arrives here instead of at the host's own routine.
#include "host/win32/hooks.h"

#include "host/hook_work.h"
#include "host/patches.h"

// In:  [ESP] the host's return address, the caller's stack arguments above
//      it; every register as the host's caller left it.
// Does ReinitScripts (which acts only once the scripts have started) with
// all general-purpose registers saved around it, then jumps where the CALL
// led before the module patched it (the re-initialisation continuation, or
// the hook of a mod that hooked the CALL first) with the stack as it arrived.
__attribute__((naked)) void ReinitHook()
{
    asm volatile("pushal\n\t"
                 "call %P0\n\t"
                 "popal\n\t"
                 "jmp *%1"
                 :
                 : "i"(ReinitScripts), "m"(hookOnwards.reinit));
}
