// A pedestrian character that a script creates. The ped knows the script
// thread that owns it, so that creating it can give that thread's turn away
// while the host loads the model.
#pragma once

#include <cstddef>
#include <cstdint>

#include "game/held_wrappers.h"

struct ScriptThread;

struct Ped {
    int32_t handle;         // written by the creating command, sent by every later one
    ScriptThread* owner;    // whose turn the model-wait loop gives away
    bool releaseOnDestroy;  // the destructor releases (true) or deletes (false) the ped
    bool created;           // a Create method has sent its creating command

    // Sends nothing: the ped exists in the host only after a Create method.
    Ped(ScriptThread* owner, bool releaseOnDestroy);
    // Releases or deletes the ped in the host, if it was created.
    ~Ped();
    // Held by the allocating thread's boot from the start (held_wrappers.h).
    static void* operator new(size_t size) { return NewHeldWrapper(size); }
    static void operator delete(void* wrapper) { DeleteHeldWrapper(wrapper); }

    // Waits for the model (every time, even when loaded), then creates the ped.
    void Create(int32_t pedType, int32_t model, float x, float y, float z);
    // The host then knows the model under the id slot + 108.
    void LoadSpecialModel(int32_t slot, const char* name);
    // The handle field itself, to pass this ped as a variable argument.
    int32_t* GetHandle();
    // Discard and Delete remove the ped in the host but leave both fields.
    void Discard();
    void Delete();
    void SetHeading(float degrees);
    void Animate(int32_t animation, int32_t durationMs);
    void Command020F(int32_t* target);
    void Command01DF(int32_t* target);
    void Command01D2(int32_t* target);
    void Command01D5(int32_t* target);
    void Command01D4(int32_t* target);
    void Command03F9(int32_t* other, int32_t durationMs);
    void Command04EB(int32_t value, int32_t durationMs);
    void Command009C(int32_t value);
    void Command0319(int32_t flag);
    void Command011A(int32_t value);
    void Command011C();
    void Command03E2();

    // No script sends these.
    bool Command0118();
    bool Command00FE(float x, float y, float z, float rx, float ry, float rz, int32_t flag);  // flag: byte
    bool Create01C8(int32_t* target, int32_t pedType, int32_t model, int32_t value);
    void Create0129(int32_t* target, int32_t pedType, int32_t model);
    bool Create0129NoLoad(int32_t* target, int32_t pedType, int32_t model);
    // Waits for the model only when the host does not have it yet.
    bool Command01B2(int32_t model, int32_t value);
    bool Command01ED();
    bool Command0243(int32_t value);
    bool Command01C9(int32_t* target);
    bool Command01CA(int32_t* target);
};

// A ped of a special model: loads the model into its slot on construction and
// creates its ped under that slot's model id. No script uses it.
struct SpecialPed {
    ScriptThread* owner;
    Ped* ped;      // made by the constructor, deleting on destruction
    int32_t slot;  // special-model slot; the model id is slot + 108

    SpecialPed(ScriptThread* owner, int32_t slot, const char* name);
    ~SpecialPed();
    SpecialPed(const SpecialPed&) = delete;  // the Ped is owned, once
    SpecialPed& operator=(const SpecialPed&) = delete;

    int32_t* GetHandle();
    bool Command0118();
    bool Command00FE(float x, float y, float z, float rx, float ry, float rz, int32_t flag);
    void Command01DF(int32_t* target);
    void Command03E2();
    void Command0319(int32_t flag);
    void Create(int32_t pedType, float x, float y, float z);
    bool Create01C8(int32_t* target, int32_t pedType, int32_t value);
    void Create0129(int32_t* target, int32_t pedType);
};

// Special slot n is known to the host as model n + 108.
static const int32_t kSpecialModelBase = 108;
