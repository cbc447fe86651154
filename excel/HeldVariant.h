// A call result kept whole (a row range passed on to Range, a number format
// put back), cleared when it goes out of scope.
#pragma once

#include <ole2.h>

class HeldVariant {
public:
    explicit HeldVariant(VARIANT result) : value(result) {}
    ~HeldVariant() { VariantClear(&value); }
    HeldVariant(const HeldVariant&) = delete;
    HeldVariant& operator=(const HeldVariant&) = delete;

    VARIANT value;
};

// Whether a NumberFormat result names a format other than "General", so the
// written cells need their format refreshed.
bool IsFormatted(const VARIANT& format);
