// The welcome thread: runs on the boot record.
#pragma once

#include <cstdint>

struct ScriptThread;

// 1 when the start marker is still to be placed for this boot of the scripts.
// Set at load and when the scripts are re-initialised; cleared by the
// welcome thread when it places the marker.
extern uint8_t startMarkerPending;

// The start point: where the marker stands and the player must arrive; the
// studio's last set-up shot looks at it too.
static const float kStartPointX = 1003.09f;
static const float kStartPointY = -456.49f;
static const float kStartPointZ = 55.74f;

void WelcomeThread(ScriptThread* self);
