// The text lookup hook: the jump at the host text lookup's entry arrives
// here, written over the lookup's first 7 bytes, or over the rel32 of
// another mod's JMP that stood there first.
#include "host/win32/hooks.h"

#include "host/host_addresses.h"
#include "host/patches.h"
#include "text/text_table.h"

// In:  ECX the host's text store, [ESP] the return address, [ESP+4] the
//      ASCII key (thiscall: the callee pops it).
// A key beginning with '!' is answered from the module's table: EAX the
// UTF-16 text, RET 4. Any other key goes on where the lookup's entry led
// before the module patched it (TextLookupEntryReplay, or another mod's
// hook), with every register but the flags and the stack as they arrived.
__attribute__((naked)) void TextLookupHook()
{
    asm volatile("pushl %%eax\n\t"
                 "movl 8(%%esp), %%eax\n\t"
                 "cmpb $0x21, (%%eax)\n\t"
                 "popl %%eax\n\t"
                 "jne 1f\n\t"
                 "pushl 4(%%esp)\n\t"
                 "call %P0\n\t"
                 "addl $4, %%esp\n\t"
                 "ret $4\n"
                 "1:\n\t"
                 "jmp *%1"
                 :
                 : "i"(LookupCustomText), "m"(hookOnwards.textLookup));
}

// In:  as at the host text lookup's entry.
// The host function's four replaced instructions (push EBX; push EBP;
// mov EBX, ECX; sub ESP, 0x40), then a jump to the rest of the host
// function, which returns to the host's caller.
__attribute__((naked)) void TextLookupEntryReplay()
{
    asm volatile("pushl %%ebx\n\t"
                 "pushl %%ebp\n\t"
                 "movl %%ecx, %%ebx\n\t"
                 "subl $0x40, %%esp\n\t"
                 "jmp *%0"
                 :
                 : "m"(hostAddresses.textLookupContinuation));
}
