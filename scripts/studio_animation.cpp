// The modifier chain: a held modifier selects a ped, the four peds of Group 4
// or a car, and a second key sends it its commands. While a modifier is held
// alone the chain polls again every host step, so the game runs on.
#include "game/car.h"
#include "game/ped.h"
#include "game/player.h"
#include "script/scheduler.h"
#include "scripts/studio_animation_keys.h"
#include "scripts/studio_car_settings.h"
#include "scripts/studio_features.h"
#include "scripts/studio_state.h"

static bool FlagSet(const StudioState& studio, RequiredFlag flag)
{
    switch (flag) {
    case kCar1Created:
        return studio.car1Created == 1;
    case kCar2Created:
        return studio.car2Created == 1;
    default:
        return studio.groupCreated[flag] == 1;
    }
}

static Car* CarOfNumber(const StudioState& studio, int32_t number)
{
    return number == 1 ? studio.car1 : studio.car2;
}

static bool CarExists(const StudioState& studio, int32_t number)
{
    return number == 1 ? studio.car1Created == 1 : studio.car2Created == 1;
}

// A row that names a car acts only while that car exists; otherwise the
// key test goes on with the next row.
static bool StepsReady(const StudioState& studio, const PedStep* steps)
{
    for (int i = 0; i < kMaxPedSteps && steps[i].method != kNoStep; i++) {
        const PedStep& step = steps[i];
        if ((step.method == kCommand01D5 || step.method == kCommand01D4) && !CarExists(studio, step.a))
            return false;
    }
    return true;
}

static void SendPedStep(const StudioState& studio, Ped* ped, const PedStep& step)
{
    switch (step.method) {
    case kNoStep:
        break;
    case kAnimate:
        ped->Animate(step.a, step.b);
        break;
    case kCommand04EB:
        ped->Command04EB(step.a, step.b);
        break;
    case kCommand01DF:
        ped->Command01DF(player->GetHandle());
        break;
    case kCommand01D2:
        ped->Command01D2(player->GetHandle());
        break;
    case kCommand009C:
        ped->Command009C(step.a);
        break;
    case kCommand0319:
        ped->Command0319(step.a);
        break;
    case kCommand020F:
        ped->Command020F(player->GetHandle());
        break;
    case kCommand011C:
        ped->Command011C();
        break;
    case kCommand01D5:
        ped->Command01D5(CarOfNumber(studio, step.a)->GetHandle());
        break;
    case kCommand01D4:
        ped->Command01D4(CarOfNumber(studio, step.a)->GetHandle());
        break;
    case kCommand03E2:
        ped->Command03E2();
        break;
    case kCommand011A:
        ped->Command011A(step.a);
        break;
    case kCommand03F9:
        ped->Command03F9(studio.pedSlots[kGroupFourFirstPlace + step.a - 1]->GetHandle(), step.b);
        break;
    }
}

static void SendPedSteps(const StudioState& studio, Ped* ped, const PedStep* steps)
{
    for (int i = 0; i < kMaxPedSteps && steps[i].method != kNoStep; i++)
        SendPedStep(studio, ped, steps[i]);
}

static bool ServesPlace(PedKeyScope scope, int32_t place)
{
    switch (scope) {
    case kGroupOnePedOne:
        return place == 0;
    case kOtherPeds:
        return place != 0;
    default:
        return true;
    }
}

// The first held key of the ped table acts. False when none did.
static bool RunPedKeys(const StudioState& studio, int32_t place)
{
    for (int i = 0; i < kPedAnimationKeyCount; i++) {
        const PedAnimationKey& row = kPedAnimationKeys[i];
        if (!ServesPlace(row.scope, place) || !KeyHeld(row.key) || !StepsReady(studio, row.steps))
            continue;
        SendPedSteps(studio, studio.pedSlots[place], row.steps);
        return true;
    }
    return false;
}

static bool RunGroupFourKeys(const StudioState& studio)
{
    for (int i = 0; i < kGroupFourKeyCount; i++) {
        const GroupFourKey& row = kGroupFourKeys[i];
        if (!KeyHeld(row.key))
            continue;
        if (row.ped == kEachGroupFourPed) {
            for (int32_t n = 0; n < kGroupFourSize; n++)
                SendPedSteps(studio, studio.pedSlots[kGroupFourFirstPlace + n], row.steps);
        } else {
            SendPedSteps(studio, studio.pedSlots[kGroupFourFirstPlace + row.ped - 1], row.steps);
        }
        return true;
    }
    return false;
}

// The first held modifier whose flag is set, or none. The hold step runs
// between the first and second tests, on every pass that gets that far.
static const AnimationTarget* SelectTarget(const StudioState& studio)
{
    for (int i = 0; i < kAnimationTargetCount; i++) {
        if (i == 1)
            HoldStep(studio);
        const AnimationTarget& target = kAnimationTargets[i];
        if (KeyHeld(target.modifier) && FlagSet(studio, target.flag))
            return &target;
    }
    return nullptr;
}

static bool RunTargetKeys(StudioState& studio, const AnimationTarget& target)
{
    switch (target.kind) {
    case kTargetPed:
        return RunPedKeys(studio, target.index);
    case kTargetGroupFour:
        return RunGroupFourKeys(studio);
    case kTargetCar:
        return RunCarSettingKeys(studio, static_cast<CarNumber>(target.index));
    }
    return false;
}

void RunModifierChain(StudioState& studio)
{
    for (;;) {
        const AnimationTarget* target = SelectTarget(studio);
        if (target == nullptr || RunTargetKeys(studio, *target))
            return;
        WaitMs(studio.thread, 0);
    }
}
