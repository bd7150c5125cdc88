// The ped, car and radar marker wrappers the scripts hold, and how they are
// let go of: a wrapper whose host object is gone is freed without its
// destructor, which would send the host a release or delete command that the
// scripts never send.
//
// A wrapper is held in its boot's table from its allocation on, before its
// constructor or Create waits for the model: a thread that ends there or at
// any later command (a teardown's, which unwinds nothing) leaves nothing
// behind once its boot is released.
#pragma once

#include <cstddef>

struct Car;
struct Ped;

// The most wrappers held at once: the studio's ten ped places, preview ped,
// preview car and two car places, one newer wrapper during a replacement, the
// special ped's own, and the welcome thread's parked car and marker; with
// room to spare.
static const int kHeldWrapperCapacity = 32;

// The wrappers' operator new and delete: the storage, held by the calling
// thread's boot until deleted or let go of. A wrapper that does not fit the
// table is not held, and is freed only by its delete.
void* NewHeldWrapper(size_t size);
void DeleteHeldWrapper(void* wrapper);

// Puts newer in the holder's place and frees the wrapper the holder had, if
// any. The one replaced must not be used again: its ped or car has been
// discarded or deleted, or is no longer the script's to address.
void Replace(Ped*& holder, Ped* newer);
void Replace(Car*& holder, Car* newer);

// Frees every wrapper a boot's threads still held (its slot, as the
// scheduler gives it), once every one of those threads has ended.
void ReleaseHeldWrappers(int slot);
