// What the shutdown and re-initialisation hooks do before they jump on to the
// host's own code. Called on the host's thread.
#pragma once

// Terminates every script thread; later ticks do nothing.
void ShutdownScripts();
// If the scripts have started: terminates every script thread and resets the
// scheduler, so that the next tick boots again and the start marker is
// placed again.
void ReinitScripts();
