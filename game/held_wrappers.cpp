// The tables of held wrappers, one per boot slot. A boot's table is touched
// only by the thread of that boot that holds the turn (a script thread
// during its turn, or a late one back from its command while no other runs,
// or the boot script), and by a boot or reset once every thread of that boot
// has ended.
#include "game/held_wrappers.h"

#include <new>

#include "platform/platform.h"
#include "script/scheduler.h"

struct HeldWrappers {
    void* wrappers[kHeldWrapperCapacity];
    int count;
};
static HeldWrappers held[kBridges];

// The calling thread's boot's, which may be an earlier boot than the
// current one for a late thread; the boot script's is the current one.
// None before the first boot.
static HeldWrappers* Held()
{
    const ScriptThread* const self = OwnScriptThread();
    const int slot = self ? self->bootSlot : scheduler.bootSlot;
    return slot < 0 ? nullptr : &held[slot];
}

void* NewHeldWrapper(size_t size)
{
    void* const wrapper = ::operator new(size);
    HeldWrappers* const table = Held();
    if (table && table->count < kHeldWrapperCapacity)
        table->wrappers[table->count++] = wrapper;
    return wrapper;
}

// Only the storage: Replace frees a wrapper without its destructor, so that
// nothing is sent to the host.
void DeleteHeldWrapper(void* wrapper)
{
    if (wrapper == nullptr)
        return;
    HeldWrappers* const table = Held();
    for (int n = 0; table && n < table->count; ++n) {
        if (table->wrappers[n] == wrapper) {
            table->wrappers[n] = table->wrappers[--table->count];
            break;
        }
    }
    ::operator delete(wrapper);
}

void Replace(Ped*& holder, Ped* newer)
{
    Ped* older = holder;
    holder = newer;
    DeleteHeldWrapper(older);
}

void Replace(Car*& holder, Car* newer)
{
    Car* older = holder;
    holder = newer;
    DeleteHeldWrapper(older);
}

void ReleaseHeldWrappers(int slot)
{
    HeldWrappers& table = held[slot];
    while (table.count > 0)
        ::operator delete(table.wrappers[--table.count]);
}
