#include "tests/support/Variants.h"

#include "tests/support/OleText.h"

VARIANT IntVariant(LONG value)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

VARIANT TextVariant(const char16_t* text)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocString(ToOle(text).c_str());
    return v;
}

HRESULT CopyVariant(VARIANT* target, const VARIANT& source)
{
    return VariantCopy(target, const_cast<VARIANT*>(&source));
}

HRESULT CopyVariantInd(VARIANT* target, const VARIANT& source)
{
    return VariantCopyInd(target, const_cast<VARIANT*>(&source));
}
