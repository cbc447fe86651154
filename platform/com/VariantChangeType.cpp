// The coercions of OLE Automation between the scalar variant types.
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>

#include "platform/com/oleauto.h"

namespace {

bool IsNumeric(VARTYPE vt)
{
    switch (vt) {
    case VT_I1: case VT_UI1: case VT_I2: case VT_UI2: case VT_I4: case VT_UI4: case VT_INT: case VT_UINT:
    case VT_I8: case VT_UI8: case VT_R4: case VT_R8: case VT_CY: case VT_DATE: case VT_BOOL:
        return true;
    default:
        return false;
    }
}

long double NumericValue(const VARIANT& v)
{
    switch (v.vt) {
    case VT_I1: return static_cast<signed char>(v.cVal);
    case VT_UI1: return v.bVal;
    case VT_I2: return v.iVal;
    case VT_UI2: return v.uiVal;
    case VT_I4: return v.lVal;
    case VT_UI4: return v.ulVal;
    case VT_INT: return v.intVal;
    case VT_UINT: return v.uintVal;
    case VT_I8: return v.llVal;
    case VT_UI8: return v.ullVal;
    case VT_R4: return v.fltVal;
    case VT_R8: return v.dblVal;
    case VT_CY: return static_cast<long double>(v.cyVal.int64) / 10000;
    case VT_DATE: return v.date;
    case VT_BOOL: return v.boolVal != 0 ? -1 : 0;
    default: return 0;
    }
}

template <typename T>
HRESULT Rounded(long double x, T* out)
{
    const long double r = std::nearbyint(x);  // halves go to the even neighbour, as OLE rounds
    if (!(r >= static_cast<long double>(std::numeric_limits<T>::min()) &&
          r <= static_cast<long double>(std::numeric_limits<T>::max()))) {
        return DISP_E_OVERFLOW;
    }
    *out = static_cast<T>(r);
    return S_OK;
}

HRESULT FromNumber(long double x, VARTYPE vt, VARIANT* out)
{
    out->vt = vt;
    switch (vt) {
    case VT_I1: { signed char c = 0; const HRESULT hr = Rounded(x, &c); out->cVal = CHAR(c); return hr; }
    case VT_UI1: return Rounded(x, &out->bVal);
    case VT_I2: return Rounded(x, &out->iVal);
    case VT_UI2: return Rounded(x, &out->uiVal);
    case VT_I4: return Rounded(x, &out->lVal);
    case VT_UI4: return Rounded(x, &out->ulVal);
    case VT_INT: return Rounded(x, &out->intVal);
    case VT_UINT: return Rounded(x, &out->uintVal);
    case VT_I8: return Rounded(x, &out->llVal);
    case VT_UI8: return Rounded(x, &out->ullVal);
    case VT_CY: return Rounded(x * 10000, &out->cyVal.int64);
    case VT_BOOL: out->boolVal = x != 0 ? VARIANT_TRUE : VARIANT_FALSE; return S_OK;
    case VT_R4:
        if (std::fabs(x) > FLT_MAX) {
            return DISP_E_OVERFLOW;
        }
        out->fltVal = static_cast<FLOAT>(x);
        return S_OK;
    case VT_R8:
        out->dblVal = static_cast<DOUBLE>(x);
        return S_OK;
    case VT_DATE:
        if (!(x >= -657434.0L && x < 2958466.0L)) {
            return DISP_E_OVERFLOW;
        }
        out->date = static_cast<DATE>(x);
        return S_OK;
    default:
        return DISP_E_TYPEMISMATCH;
    }
}

HRESULT TextOf(const VARIANT& v, USHORT flags, BSTR* out)
{
    switch (v.vt) {
    case VT_EMPTY: *out = SysAllocString(u""); return S_OK;
    case VT_BOOL:
        if ((flags & (VARIANT_ALPHABOOL | VARIANT_LOCALBOOL)) != 0) {
            *out = SysAllocString(v.boolVal != 0 ? u"True" : u"False");
        } else {
            *out = SysAllocString(v.boolVal != 0 ? u"-1" : u"0");
        }
        return S_OK;
    case VT_R4: {
        // Single precision shows its seven significant digits.
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%.7G", double(v.fltVal));
        std::u16string wide(buffer, buffer + std::strlen(buffer));
        *out = SysAllocString(wide.c_str());
        return S_OK;
    }
    case VT_DATE: return VarBstrFromDate(v.date, LOCALE_SYSTEM_DEFAULT, 0, out);
    case VT_R8: case VT_CY: return VarBstrFromR8(static_cast<DOUBLE>(NumericValue(v)), LOCALE_SYSTEM_DEFAULT, 0, out);
    default: {
        const long double x = NumericValue(v);
        const std::string digits = v.vt == VT_UI8 ? std::to_string(v.ullVal) : std::to_string(static_cast<long long>(x));
        std::u16string wide(digits.begin(), digits.end());
        *out = SysAllocString(wide.c_str());
        return S_OK;
    }
    }
}

bool TextIsBoolean(BSTR text, bool* value)
{
    const std::u16string_view t(text == nullptr ? u"" : text);
    auto same = [&](std::u16string_view word) {
        if (t.size() != word.size()) {
            return false;
        }
        for (size_t i = 0; i < t.size(); ++i) {
            const char16_t c = (t[i] >= u'A' && t[i] <= u'Z') ? char16_t(t[i] + 32) : t[i];
            if (c != word[i]) {
                return false;
            }
        }
        return true;
    };
    if (same(u"true") || same(u"#true#")) {
        *value = true;
        return true;
    }
    if (same(u"false") || same(u"#false#")) {
        *value = false;
        return true;
    }
    return false;
}

HRESULT FromText(BSTR text, VARTYPE vt, VARIANT* out)
{
    const OLECHAR* chars = text == nullptr ? u"" : text;
    if (vt == VT_DATE) {
        out->vt = VT_DATE;
        return VarDateFromStr(chars, LOCALE_SYSTEM_DEFAULT, 0, &out->date);
    }
    bool flag = false;
    if (vt == VT_BOOL && TextIsBoolean(text, &flag)) {
        out->vt = VT_BOOL;
        out->boolVal = flag ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    }
    double number = 0;
    const HRESULT hr = VarR8FromStr(chars, LOCALE_SYSTEM_DEFAULT, 0, &number);
    if (FAILED(hr)) {
        return hr;
    }
    return FromNumber(number, vt, out);
}

HRESULT ValueOfObject(IDispatch* object, LCID lcid, VARIANT* value)
{
    if (object == nullptr) {
        return DISP_E_TYPEMISMATCH;
    }
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    VariantInit(value);
    const HRESULT hr = object->Invoke(DISPID_VALUE, IID_NULL, lcid, DISPATCH_PROPERTYGET, &none, value, nullptr,
                                      nullptr);
    return FAILED(hr) ? DISP_E_TYPEMISMATCH : S_OK;
}

HRESULT Convert(VARIANT* out, const VARIANT& in, LCID lcid, USHORT flags, VARTYPE vt)
{
    VariantInit(out);
    if (in.vt == vt || vt == VT_VARIANT) {
        return VariantCopy(out, &in);
    }
    if ((in.vt & VT_ARRAY) != 0 || (vt & (VT_ARRAY | VT_BYREF)) != 0) {
        return DISP_E_TYPEMISMATCH;
    }
    if (vt == VT_EMPTY) {
        return S_OK;
    }
    if (vt == VT_DISPATCH || vt == VT_UNKNOWN) {
        if ((in.vt != VT_DISPATCH && in.vt != VT_UNKNOWN) || in.punkVal == nullptr) {
            return DISP_E_TYPEMISMATCH;
        }
        out->vt = vt;
        return in.punkVal->QueryInterface(vt == VT_DISPATCH ? IID_IDispatch : IID_IUnknown,
                                          reinterpret_cast<void**>(&out->punkVal));
    }
    if (in.vt == VT_DISPATCH) {
        if ((flags & VARIANT_NOVALUEPROP) != 0) {
            return DISP_E_TYPEMISMATCH;
        }
        VARIANT value;
        HRESULT hr = ValueOfObject(in.pdispVal, lcid, &value);
        if (SUCCEEDED(hr)) {
            hr = Convert(out, value, lcid, USHORT(flags | VARIANT_NOVALUEPROP), vt);
        }
        VariantClear(&value);
        return hr;
    }
    if (vt == VT_NULL || in.vt == VT_NULL || in.vt == VT_ERROR || vt == VT_ERROR) {
        return DISP_E_TYPEMISMATCH;
    }
    if (vt == VT_BSTR) {
        if (in.vt != VT_EMPTY && !IsNumeric(in.vt)) {
            return DISP_E_TYPEMISMATCH;
        }
        out->vt = VT_BSTR;
        const HRESULT hr = TextOf(in, flags, &out->bstrVal);
        if (SUCCEEDED(hr) && out->bstrVal == nullptr) {
            return E_OUTOFMEMORY;
        }
        return hr;
    }
    if (!IsNumeric(vt)) {
        return DISP_E_BADVARTYPE;
    }
    if (in.vt == VT_BSTR) {
        return FromText(in.bstrVal, vt, out);
    }
    if (in.vt != VT_EMPTY && !IsNumeric(in.vt)) {
        return DISP_E_TYPEMISMATCH;
    }
    return FromNumber(NumericValue(in), vt, out);
}

}  // namespace

HRESULT WINAPI VariantChangeTypeEx(VARIANTARG* pvargDest, const VARIANTARG* pvarSrc, LCID lcid, USHORT wFlags,
                                   VARTYPE vt)
{
    if (pvargDest == nullptr || pvarSrc == nullptr) {
        return E_INVALIDARG;
    }
    VARIANT source;
    VariantInit(&source);
    HRESULT hr = VariantCopyInd(&source, pvarSrc);
    if (FAILED(hr)) {
        return hr;
    }
    VARIANT result;
    hr = Convert(&result, source, lcid, wFlags, vt);
    VariantClear(&source);
    if (FAILED(hr)) {
        VariantClear(&result);
        return hr;
    }
    hr = VariantClear(pvargDest);
    if (FAILED(hr)) {
        VariantClear(&result);
        return hr;
    }
    *pvargDest = result;
    return S_OK;
}

HRESULT WINAPI VariantChangeType(VARIANTARG* pvargDest, const VARIANTARG* pvarSrc, USHORT wFlags, VARTYPE vt)
{
    return VariantChangeTypeEx(pvargDest, pvarSrc, LOCALE_SYSTEM_DEFAULT, wFlags, vt);
}
