// The text lookup hook: the jump written over the host text lookup's first
// 7 bytes arrives here.
#include "host/win32/hooks.h"

#include "host/host_addresses.h"
#include "text/text_table.h"

// In:  ECX the host's text store, [ESP] the return address, [ESP+4] the
//      ASCII key (thiscall: the callee pops it).
// A key beginning with '!' is answered from the module's table: EAX the
// UTF-16 text, RET 4. Any other key: the host function's four replaced
// instructions (push EBX; push EBP; mov EBX, ECX; sub ESP, 0x40), then a jump
// to the rest of the host function, which returns to the host's caller.
__attribute__((naked)) void TextLookupHook()
{
    asm volatile("movl 4(%%esp), %%eax\n\t"
                 "cmpb $0x21, (%%eax)\n\t"
                 "jne 1f\n\t"
                 "pushl %%eax\n\t"
                 "call %P0\n\t"
                 "addl $4, %%esp\n\t"
                 "ret $4\n"
                 "1:\n\t"
                 "pushl %%ebx\n\t"
                 "pushl %%ebp\n\t"
                 "movl %%ecx, %%ebx\n\t"
                 "subl $0x40, %%esp\n\t"
                 "jmp *%1"
                 :
                 : "i"(LookupCustomText), "m"(hostAddresses.textLookupContinuation));
}
