// The ped and car wrappers the scripts hold, and how they are let go of: a
// wrapper whose host object is gone is freed without its destructor, which
// would send the host a release or delete command that the scripts never send.
#pragma once

struct Car;
struct Ped;

// The most wrappers held at once: the studio's ten ped places, preview ped,
// preview car and two car places, one newer wrapper during a replacement, and
// the welcome thread's parked car; with room to spare.
static const int kHeldWrapperCapacity = 32;

// Puts newer in the holder's place and frees the wrapper the holder had, if
// any. The one replaced must not be used again: its ped or car has been
// discarded or deleted, or is no longer the script's to address.
void Replace(Ped*& holder, Ped* newer);
void Replace(Car*& holder, Car* newer);
// A wrapper kept for the rest of its boot of the scripts.
void Keep(Car* car);

// Frees every wrapper a boot's threads still held (its slot, as the
// scheduler gives it), once every one of those threads has ended.
void ReleaseHeldWrappers(int slot);
