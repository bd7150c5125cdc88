// The tables of held wrappers, one per boot slot. Touched only by the holder
// of the turn (a script thread during its turn, or the boot script), and by a
// boot or reset once every thread of that boot has ended.
#include "game/held_wrappers.h"

#include <new>

#include "script/scheduler.h"

struct HeldWrappers {
    void* wrappers[kHeldWrapperCapacity];
    int count;
};
static HeldWrappers held[kBridges];

// The current boot's: a thread holds wrappers only during its boot.
static HeldWrappers& Held()
{
    return held[scheduler.bootSlot];
}

// A boot's scripts hold far fewer than the table's room; a wrapper that
// does not fit would simply never be freed.
static void Hold(void* wrapper)
{
    HeldWrappers& table = Held();
    if (table.count < kHeldWrapperCapacity)
        table.wrappers[table.count++] = wrapper;
}

// Only the storage is released: the object's lifetime ends without its
// destructor, so nothing is sent to the host.
static void LetGo(void* wrapper)
{
    if (wrapper == nullptr)
        return;
    HeldWrappers& table = Held();
    for (int n = 0; n < table.count; ++n) {
        if (table.wrappers[n] == wrapper) {
            table.wrappers[n] = table.wrappers[--table.count];
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

void ReleaseHeldWrappers(int slot)
{
    HeldWrappers& table = held[slot];
    while (table.count > 0)
        ::operator delete(table.wrappers[--table.count]);
}
