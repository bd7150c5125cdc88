// The shutdown hook: the host's shutdown CALL arrives here instead of at the
// host's shutdown routine.
#include "host/win32/hooks.h"

#include "host/hook_work.h"
#include "host/host_addresses.h"

// In:  [ESP] the host's return address, the caller's stack arguments above
//      it; every register as the host's caller left it.
// Does ShutdownScripts with all general-purpose registers saved around it,
// then jumps to the shutdown continuation with the stack as it arrived, so
// the continuation sees the host's own call and returns straight to the host.
__attribute__((naked)) void ShutdownHook()
{
    asm volatile("pushal\n\t"
                 "call %P0\n\t"
                 "popal\n\t"
                 "jmp *%1"
                 :
                 : "i"(ShutdownScripts), "m"(hostAddresses.shutdownContinuation));
}
