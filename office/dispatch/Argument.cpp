#include "office/dispatch/Argument.h"

#include "office/dispatch/AutomationError.h"
#include "office/dispatch/Utf8.h"
#include "office/dispatch/VariantSource.h"

namespace {

const VARIANT& EmptyVariant()
{
    static const VARIANT empty = {};
    return empty;
}

// Clears its variant on every exit path.
struct ScopedVariant {
    ScopedVariant() { VariantInit(&value); }
    ~ScopedVariant() { VariantClear(&value); }
    ScopedVariant(const ScopedVariant&) = delete;
    ScopedVariant& operator=(const ScopedVariant&) = delete;
    VARIANT value;
};

}  // namespace

Argument::Argument(const VARIANT* variant, int position) : variant(variant), position(position) {}

bool Argument::IsMissing() const
{
    if (variant == nullptr) {
        return true;
    }
    const VARIANT& v = Raw();
    return v.vt == VT_ERROR && v.scode == DISP_E_PARAMNOTFOUND;
}

const VARIANT& Argument::Raw() const
{
    if (variant == nullptr) {
        return EmptyVariant();
    }
    const VARIANT* v = variant;
    while (v->vt == (VT_BYREF | VT_VARIANT) && v->pvarVal != nullptr) {
        v = v->pvarVal;
    }
    return *v;
}

void Argument::Require() const
{
    if (IsMissing()) {
        throw DispatchFailure(DISP_E_PARAMNOTOPTIONAL, position);
    }
}

void Argument::Coerce(VARIANT* out, VARTYPE vt, USHORT flags) const
{
    Require();
    const HRESULT hr = VariantChangeType(out, VariantSource(Raw()), flags, vt);
    if (FAILED(hr)) {
        throw DispatchFailure(hr == DISP_E_OVERFLOW ? DISP_E_OVERFLOW : DISP_E_TYPEMISMATCH, position);
    }
}

bool Argument::AsBool() const
{
    ScopedVariant v;
    Coerce(&v.value, VT_BOOL);
    return v.value.boolVal != VARIANT_FALSE;
}

LONG Argument::AsInt() const
{
    ScopedVariant v;
    Coerce(&v.value, VT_I4);
    return v.value.lVal;
}

double Argument::AsDouble() const
{
    ScopedVariant v;
    Coerce(&v.value, VT_R8);
    return v.value.dblVal;
}

DATE Argument::AsDate() const
{
    ScopedVariant v;
    Coerce(&v.value, VT_DATE);
    return v.value.date;
}

OleString Argument::AsText() const
{
    ScopedVariant v;
    Coerce(&v.value, VT_BSTR, VARIANT_ALPHABOOL);
    return OleString(v.value.bstrVal == nullptr ? OLESTR("") : v.value.bstrVal, SysStringLen(v.value.bstrVal));
}

std::string Argument::AsUtf8() const { return Utf16ToUtf8(AsText()); }

Index Argument::AsIndex() const
{
    Require();
    Index index;
    if ((Raw().vt & VT_TYPEMASK) == VT_BSTR && (Raw().vt & VT_ARRAY) == 0) {
        index.byName = true;
        index.name = AsText();
    } else {
        index.number = AsInt();
    }
    return index;
}

ComPtr<IDispatch> Argument::AsObject() const
{
    Require();
    ScopedVariant direct;
    VariantCopyInd(&direct.value, VariantSource(Raw()));
    if (direct.value.vt != VT_DISPATCH && direct.value.vt != VT_UNKNOWN) {
        throw DispatchFailure(DISP_E_TYPEMISMATCH, position);
    }
    if (direct.value.punkVal == nullptr) {
        return {};
    }
    ComPtr<IDispatch> object;
    if (FAILED(direct.value.punkVal->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(object.Receive())))) {
        throw DispatchFailure(DISP_E_TYPEMISMATCH, position);
    }
    return object;
}
