#include "generator/HeldObject.h"

HeldObject::HeldObject(VARIANT result) : object(nullptr) {
    if (result.vt == VT_DISPATCH)
        object = result.pdispVal;
    else
        VariantClear(&result);
}

HeldObject::~HeldObject() {
    if (object) object->Release();
}

LONG IntResult(VARIANT result) {
    if (result.vt != VT_I4 && FAILED(VariantChangeType(&result, &result, 0, VT_I4))) {
        VariantClear(&result);
        return 0;
    }
    return result.lVal;
}

void DropResult(VARIANT result) {
    VariantClear(&result);
}
