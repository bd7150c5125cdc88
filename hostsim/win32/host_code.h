// The substitute host's machine code: packed instruction records and the
// routines built from them, laid at the host's fixed addresses.
#pragma once

#include <cstdint>

namespace hostsim {

#pragma pack(push, 1)
struct HostCall {
    uint8_t opcode;  // E8 xxxxxxxx: CALL +5+xxxxxxxx
    int32_t operand;
};
struct HostJump {
    uint8_t opcode;  // E9 xxxxxxxx: JMP +5+xxxxxxxx
    int32_t operand;
};
struct PushImm32 {
    uint8_t opcode;  // 68 xxxxxxxx: PUSH imm32
    uint32_t value;
};
struct MovImm32 {
    uint8_t opcode;  // B8+r xxxxxxxx: MOV r32, imm32
    uint32_t value;
};
struct RetImm16 {
    uint8_t opcode;  // C2 xxxx: RET imm16 (pops imm16 bytes of arguments)
    uint16_t bytes;
};

// The host steps one script. fastcall: ECX the stepped record; EAX what the
// step returned. The tick call site is just past its CALL.
struct TickRoutine {
    HostCall callStep;  // E8 xxxxxxxx: CALL the script step (ECX passed on)
    uint8_t ret;        // C3: RET
};

// The host's shutdown or script re-initialisation: calls its continuation
// with two stack arguments and every register at a known value, and keeps
// its own caller's registers. cdecl, no arguments.
struct CallerRoutine {
    uint8_t pushad;             // 60: PUSHAD
    PushImm32 pushSecond;       // 68 xxxxxxxx: PUSH second argument
    PushImm32 pushFirst;        // 68 xxxxxxxx: PUSH first argument
    MovImm32 load[7];           // B8+r xxxxxxxx: MOV EAX, ECX, EDX, EBX, EBP, ESI, EDI, known values
    HostCall callContinuation;  // E8 xxxxxxxx: CALL the continuation; the call site is past it
    uint8_t popad;              // 61: POPAD
    uint8_t ret;                // C3: RET
};

// What a CallerRoutine calls: hands the registers, the return address and
// the arguments as they arrived to ContinuationArrived, then returns to its
// caller popping the two arguments.
struct ContinuationRoutine {
    uint8_t pushad;        // 60: PUSHAD (the registers as they arrived)
    uint8_t pushEsp;       // 54: PUSH ESP (the ArrivalFrame)
    PushImm32 pushWhich;   // 68 xxxxxxxx: PUSH which continuation this is
    HostCall callArrived;  // E8 xxxxxxxx: CALL ContinuationArrived (stdcall)
    uint8_t popad;         // 61: POPAD
    RetImm16 ret;          // C2 08 00: RET 8
};

// The host's text lookup. thiscall: ECX the text store, one stack argument
// (the ASCII key) popped by the callee; EAX the UTF-16 text. Its first seven
// bytes are the four instructions the module replaces.
struct TextLookupFunction {
    uint8_t pushEbx;       // 53: PUSH EBX
    uint8_t pushEbp;       // 55: PUSH EBP
    uint8_t movEbxEcx[2];  // 8B D9: MOV EBX, ECX
    uint8_t subEsp40[3];   // 83 EC 40: SUB ESP, 0x40
    uint8_t pushKey[4];    // FF 74 24 4C: PUSH DWORD [ESP+0x4C] (the key)
    uint8_t pushStore;     // 53: PUSH EBX (the text store)
    HostCall callBody;     // E8 xxxxxxxx: CALL HostTextLookupBody (cdecl)
    uint8_t addEsp48[3];   // 83 C4 48: ADD ESP, 0x48 (the two arguments and the 0x40 bytes)
    uint8_t popEbp;        // 5D: POP EBP
    uint8_t popEbx;        // 5B: POP EBX
    RetImm16 ret;          // C2 04 00: RET 4
};

// The host's own call of its text lookup: cdecl (key) -> EAX the text.
// Stores how far the stack moved across the call other than by the popped
// key (0 when the callee kept the thiscall contract).
struct TextCallerRoutine {
    uint8_t pushEsi;       // 56: PUSH ESI
    uint8_t movEsiEsp[2];  // 89 E6: MOV ESI, ESP
    uint8_t pushKey[4];    // FF 74 24 08: PUSH DWORD [ESP+8] (our own argument)
    MovImm32 loadStore;    // B9 xxxxxxxx: MOV ECX, the text store
    HostCall callLookup;   // E8 xxxxxxxx: CALL the text lookup
    uint8_t subEsiEsp[2];  // 29 E6: SUB ESI, ESP
    uint8_t storeEsi[2];   // 89 35: MOV [xxxxxxxx], ESI
    uint32_t imbalanceAt;  //        (the address stored to)
    uint8_t leaEspEsi[3];  // 8D 24 34: LEA ESP, [ESP+ESI] (the stack as before the call)
    uint8_t popEsi;        // 5E: POP ESI
    uint8_t ret;           // C3: RET
};
#pragma pack(pop)

static_assert(sizeof(HostCall) == 5 && sizeof(HostJump) == 5, "rel32 instructions are 5 bytes");
static_assert(sizeof(PushImm32) == 5 && sizeof(MovImm32) == 5 && sizeof(RetImm16) == 3, "instruction sizes");
static_assert(sizeof(TickRoutine) == 6, "tick routine");
static_assert(sizeof(CallerRoutine) == 53, "caller routine");
static_assert(sizeof(ContinuationRoutine) == 16, "continuation routine");
static_assert(sizeof(TextLookupFunction) == 25, "text lookup function");
static_assert(sizeof(TextCallerRoutine) == 30, "text caller routine");

// What ContinuationRoutine's PUSHAD leaves below the return address.
struct ArrivalFrame {
    uint32_t edi, esi, ebp, espAtPushad, ebx, edx, ecx, eax;
    uint32_t returnAddress;
    uint32_t first, second;  // the caller's stack arguments
};

}  // namespace hostsim
