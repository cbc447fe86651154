// One argument of an automation call, read with OLE Automation's coercions.
// A failed coercion throws DispatchFailure(DISP_E_TYPEMISMATCH) naming the
// argument's position; a missing required one DISP_E_PARAMNOTOPTIONAL.
#pragma once

#include <string>

#include "office/dispatch/ComPtr.h"
#include "office/dispatch/OleString.h"

// A collection index: a 1-based number or a name, as the caller passed it.
struct Index {
    bool byName = false;
    LONG number = 0;
    OleString name;
};

class Argument {
public:
    // `variant` may be null: an argument the caller left out.
    Argument(const VARIANT* variant, int position);

    // Left out, or passed as the "missing" marker (VT_ERROR with DISP_E_PARAMNOTFOUND).
    bool IsMissing() const;
    // The value itself, references followed; VT_EMPTY when missing.
    const VARIANT& Raw() const;
    int Position() const { return position; }

    bool AsBool() const;              // VT_BOOL, any number (non-zero is true), "True"/"False"
    LONG AsInt() const;               // numbers rounded as OLE rounds, numeric text
    double AsDouble() const;
    DATE AsDate() const;
    OleString AsText() const;    // numbers and dates in their text form
    std::string AsUtf8() const;
    Index AsIndex() const;            // a text is a name, anything numeric a number
    ComPtr<IDispatch> AsObject() const;  // Nothing gives an empty pointer

private:
    void Require() const;
    void Coerce(VARIANT* out, VARTYPE vt, USHORT flags = 0) const;

    const VARIANT* variant;
    int position;
};
