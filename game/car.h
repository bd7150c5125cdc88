// A car that a script creates. Constructing the object loads the model,
// waiting on the owner's turn as long as it takes, and creates the car.
#pragma once

#include <cstddef>
#include <cstdint>

#include "game/held_wrappers.h"

struct ScriptThread;

struct Car {
    int32_t handle;  // written by the constructor's creating command
    int32_t valueA;  // the pair last sent with Command03F3 or Command0229
    int32_t valueB;
    ScriptThread* owner;    // whose turn the model-wait loop gives away
    bool releaseOnDestroy;  // the destructor releases (true) or deletes (false) the car

    Car(ScriptThread* owner, int32_t model, float x, float y, float z, bool releaseOnDestroy);
    // Releases or deletes the car: the constructor always created one.
    ~Car();
    // Held by the allocating thread's boot from the start (held_wrappers.h).
    static void* operator new(size_t size) { return NewHeldWrapper(size); }
    static void operator delete(void* wrapper) { DeleteHeldWrapper(wrapper); }

    // The handle field itself, to pass this car as a variable argument.
    int32_t* GetHandle();
    void SetHeading(float degrees);
    void SetSpeed(float speed);
    void DriveTo(float x, float y, float z);
    void SetBehaviour(int32_t code);
    void SetNormalDriving();
    void SetPsychoDriving();
    void SetImmunities(int32_t a, int32_t b, int32_t c, int32_t d, int32_t e);
    // Removes the car in the host; the object keeps its handle.
    void Delete();

    // No script sends these.
    // The value that the host writes into the command's second variable.
    int32_t Command0227();
    bool Command01AF(float x, float y, float z, float rx, float ry, float rz, int32_t flag);  // flag: byte
    // The point at the offset from the car, written into the outputs.
    bool GetOffsetPoint(float dx, float dy, float dz, float* outX, float* outY, float* outZ);
    bool Command00AE(int32_t value);
    bool Command02AA(int32_t flag);  // byte
    bool Command020A(int32_t value);
    bool Command0397(int32_t flag);  // byte
    // Both keep the pair in valueA and valueB and send it from there.
    bool Command03F3(int32_t a, int32_t b);
    bool Command0229(int32_t a, int32_t b);
};
