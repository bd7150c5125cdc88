// How the Windows substitute host and the test programs end under Wine.
#pragma once

namespace hostsim {

// Ends the process with the status: its C streams flushed, then every other
// thread of it ended and seen gone, then the process. Under Wine 8 a thread
// that is still in a wait as the process exits (a parked script thread, one
// left in a stall, the test framework's thread watcher) now and then takes
// the process's end inside Wine's own signal handler, and the whole process
// dies of a segmentation fault after a clean run. Ended one at a time first,
// each seen gone, they are nearly always out of Wine's code by then: Wine
// shows a thread gone as it sends the thread its end, so a thread that has
// not yet run since can still be on its way out. Nothing is detached and
// nothing runs at exit, since a thread ended so may have held the C heap's
// lock: no program of these relies on it.
[[noreturn]] void ExitAlone(int status);

}  // namespace hostsim
