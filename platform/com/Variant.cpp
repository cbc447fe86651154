#include <cstring>

#include "platform/com/oleauto.h"

namespace {

bool IsKnownType(VARTYPE vt)
{
    switch (vt & VT_TYPEMASK) {
    case VT_EMPTY: case VT_NULL: case VT_I2: case VT_I4: case VT_R4: case VT_R8: case VT_CY:
    case VT_DATE: case VT_BSTR: case VT_DISPATCH: case VT_ERROR: case VT_BOOL: case VT_VARIANT:
    case VT_UNKNOWN: case VT_I1: case VT_UI1: case VT_UI2: case VT_UI4:
    case VT_I8: case VT_UI8: case VT_INT: case VT_UINT:
        break;
    default:
        return false;
    }
    // A plain VARIANT holds every type but VT_VARIANT itself, which only travels by reference or in arrays.
    return (vt & (VT_BYREF | VT_ARRAY)) != 0 || (vt & VT_TYPEMASK) != VT_VARIANT;
}

}  // namespace

void WINAPI VariantInit(VARIANTARG* pvarg)
{
    std::memset(static_cast<void*>(pvarg), 0, sizeof(VARIANT));
    pvarg->vt = VT_EMPTY;
}

HRESULT WINAPI VariantClear(VARIANTARG* pvarg)
{
    if (pvarg == nullptr) {
        return E_INVALIDARG;
    }
    if (!IsKnownType(pvarg->vt)) {
        return DISP_E_BADVARTYPE;
    }
    if ((pvarg->vt & VT_BYREF) == 0) {
        if ((pvarg->vt & VT_ARRAY) != 0) {
            const HRESULT hr = SafeArrayDestroy(pvarg->parray);
            if (FAILED(hr)) {
                return hr;
            }
        } else if (pvarg->vt == VT_BSTR) {
            SysFreeString(pvarg->bstrVal);
        } else if ((pvarg->vt == VT_DISPATCH || pvarg->vt == VT_UNKNOWN) && pvarg->punkVal != nullptr) {
            pvarg->punkVal->Release();
        }
    }
    VariantInit(pvarg);
    return S_OK;
}

HRESULT WINAPI VariantCopy(VARIANTARG* pvargDest, const VARIANTARG* pvargSrc)
{
    if (pvargDest == nullptr || pvargSrc == nullptr) {
        return E_INVALIDARG;
    }
    if (pvargDest == pvargSrc) {
        return S_OK;
    }
    if (!IsKnownType(pvargSrc->vt)) {
        return DISP_E_BADVARTYPE;
    }
    VARIANT copy = *pvargSrc;
    if ((pvargSrc->vt & VT_BYREF) == 0) {
        if ((pvargSrc->vt & VT_ARRAY) != 0) {
            if (pvargSrc->parray != nullptr) {
                const HRESULT hr = SafeArrayCopy(pvargSrc->parray, &copy.parray);
                if (FAILED(hr)) {
                    return hr;
                }
            }
        } else if (pvargSrc->vt == VT_BSTR && pvargSrc->bstrVal != nullptr) {
            copy.bstrVal = SysAllocStringByteLen(reinterpret_cast<LPCSTR>(pvargSrc->bstrVal),
                                                 SysStringByteLen(pvargSrc->bstrVal));
            if (copy.bstrVal == nullptr) {
                return E_OUTOFMEMORY;
            }
        } else if ((pvargSrc->vt == VT_DISPATCH || pvargSrc->vt == VT_UNKNOWN) && pvargSrc->punkVal != nullptr) {
            pvargSrc->punkVal->AddRef();
        }
    }
    const HRESULT cleared = VariantClear(pvargDest);
    if (FAILED(cleared)) {
        VariantClear(&copy);
        return cleared;
    }
    *pvargDest = copy;
    return S_OK;
}

HRESULT WINAPI VariantCopyInd(VARIANT* pvarDest, const VARIANTARG* pvargSrc)
{
    if (pvarDest == nullptr || pvargSrc == nullptr) {
        return E_INVALIDARG;
    }
    if ((pvargSrc->vt & VT_BYREF) == 0) {
        return VariantCopy(pvarDest, pvargSrc);
    }
    if (pvargSrc->byref == nullptr) {
        return E_INVALIDARG;
    }
    const VARTYPE base = pvargSrc->vt & ~VT_BYREF;
    VARIANT direct;
    VariantInit(&direct);
    if (base == VT_VARIANT) {
        return VariantCopyInd(pvarDest, pvargSrc->pvarVal);
    }
    direct.vt = base;
    if ((base & VT_ARRAY) != 0) {
        direct.parray = *pvargSrc->pparray;
    } else {
        switch (base) {
        case VT_I1: case VT_UI1: std::memcpy(&direct.bVal, pvargSrc->byref, 1); break;
        case VT_I2: case VT_UI2: case VT_BOOL: std::memcpy(&direct.iVal, pvargSrc->byref, 2); break;
        case VT_I4: case VT_UI4: case VT_INT: case VT_UINT: case VT_R4: case VT_ERROR:
            std::memcpy(&direct.lVal, pvargSrc->byref, 4);
            break;
        case VT_I8: case VT_UI8: case VT_R8: case VT_CY: case VT_DATE:
            std::memcpy(&direct.llVal, pvargSrc->byref, 8);
            break;
        case VT_BSTR: direct.bstrVal = *pvargSrc->pbstrVal; break;
        case VT_DISPATCH: case VT_UNKNOWN: direct.punkVal = *pvargSrc->ppunkVal; break;
        default: return DISP_E_BADVARTYPE;
        }
    }
    // `direct` borrows the referenced value; VariantCopy makes the owned copy.
    return VariantCopy(pvarDest, &direct);
}
