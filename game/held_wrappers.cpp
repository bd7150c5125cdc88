// The table of held wrappers. Touched only by the holder of the turn: a
// script thread during its turn, or the boot script.
#include "game/held_wrappers.h"

#include <new>

static void* heldWrappers[kHeldWrapperCapacity];
static int heldCount = 0;

// The table fills only when boots in a row could not free what the boot
// before held (one of its threads was not seen to end); a wrapper that does
// not fit is then simply never freed.
static void Hold(void* wrapper)
{
    if (heldCount < kHeldWrapperCapacity)
        heldWrappers[heldCount++] = wrapper;
}

// Only the storage is released: the object's lifetime ends without its
// destructor, so nothing is sent to the host.
static void LetGo(void* wrapper)
{
    if (wrapper == nullptr)
        return;
    for (int n = 0; n < heldCount; ++n) {
        if (heldWrappers[n] == wrapper) {
            heldWrappers[n] = heldWrappers[--heldCount];
            break;
        }
    }
    ::operator delete(wrapper);
}

void Replace(Ped*& holder, Ped* newer)
{
    Ped* older = holder;
    holder = newer;
    Hold(newer);
    LetGo(older);
}

void Replace(Car*& holder, Car* newer)
{
    Car* older = holder;
    holder = newer;
    Hold(newer);
    LetGo(older);
}

void Keep(Car* car)
{
    Hold(car);
}

void ReleaseHeldWrappers()
{
    while (heldCount > 0)
        ::operator delete(heldWrappers[--heldCount]);
}
