// The shutdown hook: the host's shutdown CALL arrives here instead of at the
// host's shutdown routine.
#include "host/win32/hooks.h"

#include "host/hook_work.h"
#include "host/patches.h"

// In:  [ESP] the host's return address, the caller's stack arguments above
//      it; every register as the host's caller left it.
// Does ShutdownScripts with all general-purpose registers saved around it,
// then jumps where the CALL led before the module patched it (the shutdown
// continuation, or the hook of a mod that hooked the CALL first) with the
// stack as it arrived, so that code sees the host's own call and returns
// straight to the host.
__attribute__((naked)) void ShutdownHook()
{
    asm volatile("pushal\n\t"
                 "call %P0\n\t"
                 "popal\n\t"
                 "jmp *%1"
                 :
                 : "i"(ShutdownScripts), "m"(hookOnwards.shutdown));
}
