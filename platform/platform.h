// The operating-system services the module needs, behind one small interface.
// Two implementations: platform/win32 (the real module) and platform/posix
// (the native build used for tests and the desktop front end). Nothing else in
// the module includes an OS header.
//
// Sections: events, threads, keyboard, counts, code memory.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

struct ScriptThread;

// --- Events -----------------------------------------------------------------
// Auto-reset, created non-signalled, unnamed: one Raise releases exactly one
// wait, and a Raise with no waiter is kept until the next wait.
struct PlatformEvent;

static const uint32_t kWaitForever = 0xFFFFFFFFu;

PlatformEvent* CreatePlatformEvent();
// Returns false when the event could not be signalled.
bool RaisePlatformEvent(PlatformEvent* event);
// Returns true when the event was signalled, false when the time-out passed.
bool WaitPlatformEvent(PlatformEvent* event, uint32_t timeoutMs);
void ClosePlatformEvent(PlatformEvent* event);

// --- Threads ----------------------------------------------------------------
// Script threads only: each runs one script routine with its own record.
struct PlatformThread;
typedef void (*ScriptRoutine)(ScriptThread* self);

// The thread starts at once.
PlatformThread* CreatePlatformThread(ScriptRoutine routine, ScriptThread* self);
// Stops a thread parked at an event wait, where it holds nothing. One that
// is still in its start-up is only flagged, and ends at its first-turn check
// (StopThisThreadIfDismissed).
void TerminatePlatformThread(PlatformThread* thread);
// Dismisses a thread that may be anywhere, in the host's code or in the heap
// among other places, so is never stopped from outside: it ends itself at
// its next StopIfDismissed and runs no script code after it.
void DismissPlatformThread(PlatformThread* thread);
// Ends the calling script thread if it was dismissed, or terminated while
// still in its start-up; on a thread that is no script thread it does nothing.
// Cold: laid out away from the command path that calls it.
__attribute__((cold)) void StopThisThreadIfDismissed();
// Threads dismissed so far, never reset: until the first, StopIfDismissed
// costs one load, since it runs around every host command.
extern std::atomic<uint32_t> platformDismissals;
// A script thread calls this where it holds nothing (before and after each
// host command); a dismissed one ends here.
inline void StopIfDismissed()
{
    if (platformDismissals.load(std::memory_order_acquire) != 0)
        StopThisThreadIfDismissed();
}
// True once the thread has ended, waiting at most timeoutMs for it.
bool WaitForPlatformThreadEnd(PlatformThread* thread, uint32_t timeoutMs);
// Releases the handle of a thread that has ended. Returns false when it has
// not (it was dismissed and is still away in the host); it is then left
// alone and the caller must keep what that thread may still touch.
bool ClosePlatformThread(PlatformThread* thread);

// --- Keyboard ---------------------------------------------------------------
// The asynchronous state of a Windows virtual key: bit 0x8000 set while held.
int16_t PollKeyState(int virtualKey);

// A substitute host linked into the same program answers the key polls
// itself: AttachDirectHost sets the source, and nothing else sets or clears
// it. Natively there is no other keyboard; in Windows the real key state is
// read while no source is set, as in the host game. The DLL has no source.
typedef int16_t (*KeyStateSource)(int virtualKey);
void SetKeyStateSource(KeyStateSource source);

// --- Counts -----------------------------------------------------------------
// Events and script threads made and not yet closed: a re-initialisation of
// the scripts must leave their number where the boot before left it.
int CountPlatformEvents();
int CountPlatformThreads();

// --- Code memory --------------------------------------------------------------
// Makes the bytes writable and executable, copies, then restores the old
// protection. The only writer of code in the module. False, with nothing
// written, when the bytes cannot be made writable.
bool WriteCodeBytes(uintptr_t address, const void* bytes, size_t count);
