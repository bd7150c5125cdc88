// Ped commands, and the special-model ped built on them.
#include "game/ped.h"

#include "game/command_catalogue.h"
#include "game/model_wait.h"

// Peds poll for their model once per host step.
static const int32_t kPedModelPollMs = 0;

// handle starts at 0 so that the value sent with the creating command is a
// known one; the host overwrites it.
Ped::Ped(ScriptThread* owner, bool releaseOnDestroy)
    : handle(0)
    , owner(owner)
    , releaseOnDestroy(releaseOnDestroy)
    , created(false)
{
}

Ped::~Ped()
{
    if (!created)
        return;
    if (releaseOnDestroy)
        CallCommand(kReleasePed, &handle);
    else
        CallCommand(kDeletePed, &handle);
}

void Ped::Create(int32_t pedType, int32_t model, float x, float y, float z)
{
    WaitForModel(owner, model, kPedModelPollMs);
    CallCommand(kCreatePed, pedType, model, x, y, z, &handle);
    created = true;
}

void Ped::LoadSpecialModel(int32_t slot, const char* name)
{
    CallCommand(kLoadSpecialModel, slot, name);
    CallCommand(kLoadRequestedModels);
}

int32_t* Ped::GetHandle()
{
    return &handle;
}

void Ped::Discard()
{
    CallCommand(kDiscardPed, &handle);
}

void Ped::Delete()
{
    CallCommand(kDeletePed, &handle);
}

void Ped::SetHeading(float degrees)
{
    CallCommand(kSetPedHeading, &handle, degrees);
}

void Ped::Animate(int32_t animation, int32_t durationMs)
{
    CallCommand(kAnimatePed, &handle, animation, durationMs);
}

void Ped::Command020F(int32_t* target)
{
    CallCommand(kCommand020F, &handle, target);
}

void Ped::Command01DF(int32_t* target)
{
    CallCommand(kCommand01DF, &handle, target);
}

void Ped::Command01D2(int32_t* target)
{
    CallCommand(kCommand01D2, &handle, target);
}

void Ped::Command01D5(int32_t* target)
{
    CallCommand(kCommand01D5, &handle, target);
}

void Ped::Command01D4(int32_t* target)
{
    CallCommand(kCommand01D4, &handle, target);
}

void Ped::Command03F9(int32_t* other, int32_t durationMs)
{
    CallCommand(kCommand03F9, &handle, other, durationMs);
}

void Ped::Command04EB(int32_t value, int32_t durationMs)
{
    CallCommand(kCommand04EB, &handle, value, durationMs);
}

void Ped::Command009C(int32_t value)
{
    CallCommand(kCommand009C, &handle, value);
}

void Ped::Command0319(int32_t flag)
{
    CallCommand(kCommand0319, &handle, flag);
}

void Ped::Command011A(int32_t value)
{
    CallCommand(kCommand011A, &handle, value);
}

void Ped::Command011C()
{
    CallCommand(kCommand011C, &handle);
}

void Ped::Command03E2()
{
    CallCommand(kCommand03E2, &handle);
}

bool Ped::Command0118()
{
    return CallCommand(kCommand0118, &handle) != 0;
}

bool Ped::Command00FE(float x, float y, float z, float rx, float ry, float rz, int32_t flag)
{
    return CallCommand(kCommand00FE, &handle, x, y, z, rx, ry, rz, flag & 0xFF) != 0;
}

bool Ped::Create01C8(int32_t* target, int32_t pedType, int32_t model, int32_t value)
{
    WaitForModel(owner, model, kPedModelPollMs);
    bool result = CallCommand(kCreatePed01C8, target, pedType, model, value, &handle) != 0;
    created = true;
    return result;
}

void Ped::Create0129(int32_t* target, int32_t pedType, int32_t model)
{
    WaitForModel(owner, model, kPedModelPollMs);
    CallCommand(kCreatePed0129, target, pedType, model, &handle);
    created = true;
}

bool Ped::Create0129NoLoad(int32_t* target, int32_t pedType, int32_t model)
{
    bool result = CallCommand(kCreatePed0129, target, pedType, model, &handle) != 0;
    created = true;
    return result;
}

bool Ped::Command01B2(int32_t model, int32_t value)
{
    WaitForModelIfMissing(owner, model, kPedModelPollMs);
    return CallCommand(kCommand01B2, &handle, model, value) != 0;
}

bool Ped::Command01ED()
{
    return CallCommand(kCommand01ED, &handle) != 0;
}

bool Ped::Command0243(int32_t value)
{
    return CallCommand(kCommand0243, &handle, value) != 0;
}

bool Ped::Command01C9(int32_t* target)
{
    return CallCommand(kCommand01C9, &handle, target) != 0;
}

bool Ped::Command01CA(int32_t* target)
{
    return CallCommand(kCommand01CA, &handle, target) != 0;
}

SpecialPed::SpecialPed(ScriptThread* owner, int32_t slot, const char* name)
    : owner(owner)
    , ped(nullptr)
    , slot(slot)
{
    CallCommand(kLoadSpecialModel, slot, name);
    CallCommand(kLoadRequestedModels);
    ped = new Ped(owner, false);
}

SpecialPed::~SpecialPed()
{
    delete ped;
}

int32_t* SpecialPed::GetHandle()
{
    return ped->GetHandle();
}

bool SpecialPed::Command0118()
{
    return ped->Command0118();
}

bool SpecialPed::Command00FE(float x, float y, float z, float rx, float ry, float rz, int32_t flag)
{
    return ped->Command00FE(x, y, z, rx, ry, rz, flag);
}

void SpecialPed::Command01DF(int32_t* target)
{
    ped->Command01DF(target);
}

void SpecialPed::Command03E2()
{
    ped->Command03E2();
}

void SpecialPed::Command0319(int32_t flag)
{
    ped->Command0319(flag);
}

void SpecialPed::Create(int32_t pedType, float x, float y, float z)
{
    ped->Create(pedType, slot + kSpecialModelBase, x, y, z);
}

bool SpecialPed::Create01C8(int32_t* target, int32_t pedType, int32_t value)
{
    return ped->Create01C8(target, pedType, slot + kSpecialModelBase, value);
}

void SpecialPed::Create0129(int32_t* target, int32_t pedType)
{
    ped->Create0129(target, pedType, slot + kSpecialModelBase);
}
