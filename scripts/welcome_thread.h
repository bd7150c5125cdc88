// The welcome thread: runs on the boot record.
#pragma once

#include <atomic>
#include <cstdint>

struct ScriptThread;

// Whether the start marker is still to be placed for this start of the
// scripts: owed while `armed` differs from `placedFor`. Each field has one
// writer, so that a welcome thread a teardown gave up on, still running,
// cannot take back the marker a later start owes the player.
struct StartMarkerState {
    std::atomic<uint32_t> armed;      // the host's thread: counts the starts of the scripts, load the first
    std::atomic<uint32_t> placedFor;  // the welcome thread holding the turn: the start it placed the marker for
};
extern StartMarkerState startMarker;

// A new start of the scripts owes the marker again: at a re-initialisation
// and at a reset of the module. Host's thread, with every script thread
// stopped or given up on.
void ArmStartMarker();

// The start point: where the marker stands and the player must arrive; the
// studio's last set-up shot looks at it too.
static const float kStartPointX = 1003.09f;
static const float kStartPointY = -456.49f;
static const float kStartPointZ = 55.74f;

void WelcomeThread(ScriptThread* self);
