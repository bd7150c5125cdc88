// How the Windows substitute host and the test programs end under Wine.
#pragma once

// Ends the process with the status, its C streams flushed first. ExitProcess
// would stop the process's other threads (the module's parked script threads,
// the test framework's thread watcher) and then stop them again as the
// process ends: under Wine 8 a thread still on its way out from the first,
// as on a loaded machine, takes the second inside Wine's own signal handler
// and the whole process dies of a segmentation fault after a clean run.
// TerminateProcess stops each thread once. Nothing is detached: no program
// of these relies on that.
[[noreturn]] void ExitAtOnce(int status);
