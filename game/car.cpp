// Car commands.
#include "game/car.h"

#include "game/command_catalogue.h"
#include "game/model_wait.h"

// The car's own pause between polls for its model.
static const int32_t kCarModelPollMs = 250;

// handle starts at 0 so that the value sent with the creating command is a
// known one; the host overwrites it.
Car::Car(ScriptThread* owner, int32_t model, float x, float y, float z, bool releaseOnDestroy)
    : handle(0)
    , valueA(0)
    , valueB(0)
    , owner(owner)
    , releaseOnDestroy(releaseOnDestroy)
{
    WaitForModel(owner, model, kCarModelPollMs);
    CallCommand(kCreateCar, model, x, y, z, &handle);
}

Car::~Car()
{
    if (releaseOnDestroy)
        CallCommand(kReleaseCar, &handle);
    else
        CallCommand(kDeleteCar, &handle);
}

int32_t* Car::GetHandle()
{
    return &handle;
}

void Car::SetHeading(float degrees)
{
    CallCommand(kSetCarHeading, &handle, degrees);
}

void Car::SetSpeed(float speed)
{
    CallCommand(kSetCarSpeed, &handle, speed);
}

void Car::DriveTo(float x, float y, float z)
{
    CallCommand(kDriveCarTo, &handle, x, y, z);
}

void Car::SetBehaviour(int32_t code)
{
    CallCommand(kSetCarBehaviour, &handle, code);
}

void Car::SetNormalDriving()
{
    CallCommand(kSetNormalDriving, &handle);
}

void Car::SetPsychoDriving()
{
    CallCommand(kSetPsychoDriving, &handle);
}

void Car::SetImmunities(int32_t a, int32_t b, int32_t c, int32_t d, int32_t e)
{
    CallCommand(kSetCarImmunities, &handle, a, b, c, d, e);
}

void Car::Delete()
{
    CallCommand(kDeleteCar, &handle);
}

int32_t Car::Command0227()
{
    int32_t value = 0;
    CallCommand(kCommand0227, &handle, &value);
    return value;
}

bool Car::Command01AF(float x, float y, float z, float rx, float ry, float rz, int32_t flag)
{
    return CallCommand(kCommand01AF, &handle, x, y, z, rx, ry, rz, flag & 0xFF) != 0;
}

bool Car::GetOffsetPoint(float dx, float dy, float dz, float* outX, float* outY, float* outZ)
{
    return CallCommand(kGetCarOffsetPoint, &handle, dx, dy, dz, outX, outY, outZ) != 0;
}

bool Car::Command00AE(int32_t value)
{
    return CallCommand(kCommand00AE, &handle, value) != 0;
}

bool Car::Command02AA(int32_t flag)
{
    return CallCommand(kCommand02AA, &handle, flag & 0xFF) != 0;
}

bool Car::Command020A(int32_t value)
{
    return CallCommand(kCommand020A, &handle, value) != 0;
}

bool Car::Command0397(int32_t flag)
{
    return CallCommand(kCommand0397, &handle, flag & 0xFF) != 0;
}

bool Car::Command03F3(int32_t a, int32_t b)
{
    valueA = a;
    valueB = b;
    return CallCommand(kCommand03F3, &handle, valueA, valueB) != 0;
}

bool Car::Command0229(int32_t a, int32_t b)
{
    valueA = a;
    valueB = b;
    return CallCommand(kCommand0229, &handle, valueA, valueB) != 0;
}
