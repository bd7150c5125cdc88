// othermod.dll: another mod a player runs beside the module, which hooked one
// of the game's sites before the module loads. Its hook counts the arrival
// and goes on where the site led before, with every register and the stack
// as the game's caller left them.
#include "tests/win32/other_mod.h"

// The record's fields are "i" operands, their addresses written into the
// instructions: as "m" operands GCC reached them through EAX, loaded before
// the hook's first instruction, which broke the game caller's registers.
extern "C" {

__declspec(dllexport) OtherModHook otherModHook;

// Reached by a game CALL retargeted here: goes on to the CALL's old target.
__declspec(dllexport) __attribute__((naked)) void OtherModCallHook()
{
    asm volatile("lock incl %P0\n\t"
                 "jmp *%P1"
                 :
                 : "i"(&otherModHook.arrivals), "i"(&otherModHook.onward));
}

// Reached by a JMP rel32 written over the first 5 bytes of the game's text
// lookup: runs the lookup's first four instructions, which those bytes
// began, and goes on to the lookup's fifth (onward, 7 bytes in).
__declspec(dllexport) __attribute__((naked)) void OtherModTextLookupHook()
{
    asm volatile("lock incl %P0\n\t"
                 "pushl %%ebx\n\t"
                 "pushl %%ebp\n\t"
                 "movl %%ecx, %%ebx\n\t"
                 "subl $0x40, %%esp\n\t"
                 "jmp *%P1"
                 :
                 : "i"(&otherModHook.arrivals), "i"(&otherModHook.onward));
}
}
