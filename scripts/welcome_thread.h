// The welcome thread: runs on the boot record.
#pragma once

#include <cstdint>

struct ScriptThread;

// 1 when the start marker is still to be placed for this boot of the scripts.
// Set at load and by the re-initialisation hook; cleared by the welcome
// thread when it places the marker.
extern uint8_t startMarkerPending;

void WelcomeThread(ScriptThread* self);
