// Player commands.
#include "game/player.h"

#include "game/command_catalogue.h"
#include "game/model_wait.h"

Player* player = nullptr;

// Between polls of the model-wait loop the player gives one host step away.
static const int32_t kPlayerModelPollMs = 0;

// Both handles start at 0 so that the values sent with the creating commands
// are known ones; the host overwrites them.
Player::Player(float x, float y, float z)
    : playerHandle(0)
    , characterHandle(0)
{
    CallCommand(kCreatePlayer, 0, x, y, z, &playerHandle);
    CallCommand(kGetCharacterHandle, &playerHandle, &characterHandle);
}

int32_t* Player::GetHandle()
{
    return &playerHandle;
}

bool Player::IsWithinRange(float x, float y, float z, float rx, float ry, float rz, int32_t flag)
{
    return CallCommand(kIsPlayerWithinRange, &playerHandle, x, y, z, rx, ry, rz, flag & 0xFF) != 0;
}

void Player::SetModel(const char* name)
{
    CallCommand(kSetPlayerModel, &characterHandle, name);
    CallCommand(kLoadRequestedModels);
    CallCommand(kApplyPlayerModel, &characterHandle);
}

void Player::SetControlsLocked(int32_t locked)
{
    CallCommand(kSetPlayerControls, &playerHandle, (locked & 0xFF) ? 0 : 1);
}

void Player::SetHeading(float degrees)
{
    CallCommand(kSetPlayerHeading, &playerHandle, degrees);
}

void Player::GetOffsetPoint(float dx, float dy, float dz, float* outX, float* outY, float* outZ)
{
    CallCommand(kGetPlayerOffsetPoint, &characterHandle, dx, dy, dz, outX, outY, outZ);
}

void Player::Command03C8()
{
    CallCommand(kCommand03C8);
}

void Player::Command055E(int32_t value)
{
    CallCommand(kCommand055E, &playerHandle, value);
}

void Player::Command055F(int32_t value)
{
    CallCommand(kCommand055F, &playerHandle, value);
}

void Player::Command055D(int32_t value)
{
    CallCommand(kCommand055D, &playerHandle, value);
}

void Player::Command0330(int32_t value)
{
    CallCommand(kCommand0330, &playerHandle, value);
}

int32_t* Player::GetCharacterHandle()
{
    return &characterHandle;
}

bool Player::Command00F5(float x, float y, float z, float rx, float ry, float rz, int32_t flag)
{
    return CallCommand(kCommand00F5, &playerHandle, x, y, z, rx, ry, rz, flag & 0xFF) != 0;
}

bool Player::Command0110()
{
    return CallCommand(kCommand0110, &playerHandle) != 0;
}

bool Player::Command010D(int32_t value)
{
    return CallCommand(kCommand010D, &playerHandle, value) != 0;
}

bool Player::Command0222(int32_t value)
{
    return CallCommand(kCommand0222, &playerHandle, value) != 0;
}

bool Player::Command035E(int32_t value)
{
    return CallCommand(kCommand035E, &playerHandle, value) != 0;
}

bool Player::Command02B3(float a1, float a2, float a3, float a4, float a5, float a6, float a7, int32_t flag)
{
    return CallCommand(kCommand02B3, &playerHandle, a1, a2, a3, a4, a5, a6, a7, flag & 0xFF) != 0;
}

bool Player::Command0055(float x, float y, float z)
{
    return CallCommand(kCommand0055, &playerHandle, x, y, z) != 0;
}

bool Player::Command01B1(ScriptThread* owner, int32_t model, int32_t value)
{
    WaitForModelIfMissing(owner, model, kPlayerModelPollMs);
    return CallCommand(kCommand01B1, &playerHandle, model, value) != 0;
}

bool Player::Command0109(int32_t value)
{
    return CallCommand(kCommand0109, &playerHandle, value) != 0;
}
