// The studio thread: set-up, the mini-tutorial, then the main loop that polls
// the studio's key map every 250 ms. Started by the welcome thread.
#pragma once

struct ScriptThread;

void StudioThread(ScriptThread* self);
