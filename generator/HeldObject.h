// One automation object reference taken from a call result, released when it
// goes out of scope, so a run leaves no references behind.
#pragma once

#include <ole2.h>

class HeldObject {
public:
    explicit HeldObject(VARIANT result);
    ~HeldObject();
    HeldObject(const HeldObject&) = delete;
    HeldObject& operator=(const HeldObject&) = delete;

    operator IDispatch*() const { return object; }

private:
    IDispatch* object;
};

// The integer of a call result (Count, Type, WindowState); the result is cleared.
LONG IntResult(VARIANT result);

// Discards a call result that the caller does not use.
void DropResult(VARIANT result);
