// The one player of the game: made at the city start point by the boot
// script, then locked, turned, re-modelled and asked where it stands.
#pragma once

#include <cstdint>

struct ScriptThread;

struct Player {
    int32_t playerHandle;     // written back by the creating command
    int32_t characterHandle;  // the player's character, written back right after

    // Creates the player at the point and fetches its character's handle.
    Player(float x, float y, float z);

    // The handle field itself, to pass the player as a variable argument.
    int32_t* GetHandle();
    bool IsWithinRange(float x, float y, float z, float rx, float ry, float rz, int32_t flag);  // flag: byte
    // Names the model, has the host load it and applies it to the character.
    // Does not wait for the model.
    void SetModel(const char* name);
    // The host's command takes "controls on", the inverse of locked (byte).
    void SetControlsLocked(int32_t locked);
    void SetHeading(float degrees);
    // The point at the offset from the character, written into the outputs.
    void GetOffsetPoint(float dx, float dy, float dz, float* outX, float* outY, float* outZ);
    void Command03C8();
    void Command055E(int32_t value);
    void Command055F(int32_t value);
    void Command055D(int32_t value);
    void Command0330(int32_t value);

    // No script sends these.
    int32_t* GetCharacterHandle();
    bool Command00F5(float x, float y, float z, float rx, float ry, float rz, int32_t flag);  // flag: byte
    bool Command0110();
    bool Command010D(int32_t value);
    bool Command0222(int32_t value);
    bool Command035E(int32_t value);
    bool Command02B3(float a1, float a2, float a3, float a4, float a5, float a6, float a7, int32_t flag);  // flag: byte
    bool Command0055(float x, float y, float z);
    // Waits on owner for the model first, when the host does not have it yet.
    bool Command01B1(ScriptThread* owner, int32_t model, int32_t value);
    bool Command0109(int32_t value);
};

// Made by the boot script; the welcome thread and the studio use it.
extern Player* player;
