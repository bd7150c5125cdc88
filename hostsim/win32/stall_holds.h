// What a stalled command holds in the Windows substitute host, the way a
// game's interpreter holds the game's locks, and the waits and thread ids the
// engine uses on the real module's script threads.
#pragma once

#include "hostsim/engine/engine.h"

namespace hostsim {

// The host's own lock: its shutdown and re-initialisation code takes it
// after the module's hooks (host_image.cpp), so a stall "hostlock" whose
// thread the module terminated hangs that code for good, as in a game.
void EnterHostLock();
void LeaveHostLock();

// Win32 calls only: a thread the module terminates leaves nothing behind.
// A stall "heap" holds the heap msvcrt's malloc allocates from, so that every
// other thread's malloc waits for its end (and for ever once the module
// terminated its thread).
EngineThreadServices Win32ThreadServices();

}  // namespace hostsim
