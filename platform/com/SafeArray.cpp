#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

#include "platform/com/oleauto.h"

namespace {

// The descriptor is preceded by the element type, as on Windows.
struct alignas(alignof(SAFEARRAY)) TypePrefix {
    VARTYPE vt;
};

ULONG ElementSize(VARTYPE vt)
{
    switch (vt) {
    case VT_I1: case VT_UI1: return 1;
    case VT_I2: case VT_UI2: case VT_BOOL: return 2;
    case VT_I4: case VT_UI4: case VT_INT: case VT_UINT: case VT_R4: case VT_ERROR: return 4;
    case VT_I8: case VT_UI8: case VT_R8: case VT_CY: case VT_DATE: return 8;
    case VT_BSTR: case VT_DISPATCH: case VT_UNKNOWN: return sizeof(void*);
    case VT_VARIANT: return sizeof(VARIANT);
    default: return 0;
    }
}

USHORT FeaturesFor(VARTYPE vt)
{
    switch (vt) {
    case VT_BSTR: return FADF_BSTR | FADF_HAVEVARTYPE;
    case VT_VARIANT: return FADF_VARIANT | FADF_HAVEVARTYPE;
    case VT_DISPATCH: return FADF_DISPATCH | FADF_HAVEVARTYPE;
    case VT_UNKNOWN: return FADF_UNKNOWN | FADF_HAVEVARTYPE;
    default: return FADF_HAVEVARTYPE;
    }
}

TypePrefix* PrefixOf(SAFEARRAY* psa) { return reinterpret_cast<TypePrefix*>(psa) - 1; }

// Caller's dimension d (0-based) lives at rgsabound[cDims - 1 - d].
SAFEARRAYBOUND& Bound(SAFEARRAY* psa, UINT d)
{
    SAFEARRAYBOUND* bounds = psa->rgsabound;
    return bounds[psa->cDims - 1 - d];
}

size_t ElementCount(SAFEARRAY* psa)
{
    size_t count = 1;
    for (UINT d = 0; d < psa->cDims; ++d) {
        count *= Bound(psa, d).cElements;
    }
    return count;
}

SAFEARRAY* AllocateDescriptor(VARTYPE vt, UINT cDims)
{
    const size_t size = sizeof(TypePrefix) + sizeof(SAFEARRAY) + (cDims - 1) * sizeof(SAFEARRAYBOUND);
    void* block = std::calloc(1, size);
    if (block == nullptr) {
        return nullptr;
    }
    auto* prefix = static_cast<TypePrefix*>(block);
    prefix->vt = vt;
    auto* psa = new (prefix + 1) SAFEARRAY();
    psa->cDims = static_cast<USHORT>(cDims);
    psa->fFeatures = FeaturesFor(vt);
    psa->cbElements = ElementSize(vt);
    return psa;
}

void FreeDescriptor(SAFEARRAY* psa) { std::free(PrefixOf(psa)); }

void ReleaseElement(VARTYPE vt, void* element)
{
    switch (vt) {
    case VT_BSTR: {
        BSTR text;
        std::memcpy(&text, element, sizeof text);
        SysFreeString(text);
        break;
    }
    case VT_DISPATCH: case VT_UNKNOWN: {
        IUnknown* object;
        std::memcpy(&object, element, sizeof object);
        if (object != nullptr) {
            object->Release();
        }
        break;
    }
    case VT_VARIANT: VariantClear(static_cast<VARIANT*>(element)); break;
    default: break;
    }
}

// Copies one element value from `source` (in the array's own representation) to `target`.
HRESULT CopyElement(VARTYPE vt, void* target, const void* source, ULONG size)
{
    switch (vt) {
    case VT_BSTR: {
        BSTR text;
        std::memcpy(&text, source, sizeof text);
        BSTR copy = nullptr;
        if (text != nullptr) {
            copy = SysAllocStringByteLen(reinterpret_cast<LPCSTR>(text), SysStringByteLen(text));
            if (copy == nullptr) {
                return E_OUTOFMEMORY;
            }
        }
        std::memcpy(target, &copy, sizeof copy);
        return S_OK;
    }
    case VT_DISPATCH: case VT_UNKNOWN: {
        IUnknown* object;
        std::memcpy(&object, source, sizeof object);
        if (object != nullptr) {
            object->AddRef();
        }
        std::memcpy(target, &object, sizeof object);
        return S_OK;
    }
    case VT_VARIANT: {
        auto* variant = static_cast<VARIANT*>(target);
        VariantInit(variant);
        return VariantCopy(variant, static_cast<const VARIANT*>(source));
    }
    default:
        std::memcpy(target, source, size);
        return S_OK;
    }
}

HRESULT ElementAt(SAFEARRAY* psa, const LONG* rgIndices, void** element)
{
    if (psa == nullptr || rgIndices == nullptr || element == nullptr) {
        return E_INVALIDARG;
    }
    size_t offset = 0;
    size_t stride = 1;
    for (UINT d = 0; d < psa->cDims; ++d) {
        const SAFEARRAYBOUND& bound = Bound(psa, d);
        const LONGLONG position = LONGLONG(rgIndices[d]) - bound.lLbound;
        if (position < 0 || position >= LONGLONG(bound.cElements)) {
            return DISP_E_BADINDEX;
        }
        offset += size_t(position) * stride;
        stride *= bound.cElements;
    }
    *element = static_cast<BYTE*>(psa->pvData) + offset * psa->cbElements;
    return S_OK;
}

}  // namespace

SAFEARRAY* WINAPI SafeArrayCreate(VARTYPE vt, UINT cDims, SAFEARRAYBOUND* rgsabound)
{
    if (cDims == 0 || cDims > 0xffff || rgsabound == nullptr || ElementSize(vt) == 0) {
        return nullptr;
    }
    size_t count = 1;
    for (UINT d = 0; d < cDims; ++d) {
        const ULONG n = rgsabound[d].cElements;
        if (n != 0 && count > std::numeric_limits<LONG>::max() / n) {
            return nullptr;
        }
        count *= n;
    }
    if (count > std::numeric_limits<LONG>::max() / ElementSize(vt)) {
        return nullptr;
    }
    SAFEARRAY* psa = AllocateDescriptor(vt, cDims);
    if (psa == nullptr) {
        return nullptr;
    }
    for (UINT d = 0; d < cDims; ++d) {
        Bound(psa, d) = rgsabound[d];
    }
    psa->pvData = std::calloc(count == 0 ? 1 : count, psa->cbElements);
    if (psa->pvData == nullptr) {
        FreeDescriptor(psa);
        return nullptr;
    }
    return psa;
}

SAFEARRAY* WINAPI SafeArrayCreateVector(VARTYPE vt, LONG lLbound, ULONG cElements)
{
    SAFEARRAYBOUND bound = {cElements, lLbound};
    return SafeArrayCreate(vt, 1, &bound);
}

HRESULT WINAPI SafeArrayDestroy(SAFEARRAY* psa)
{
    if (psa == nullptr) {
        return S_OK;
    }
    if (psa->cLocks > 0) {
        return DISP_E_ARRAYISLOCKED;
    }
    const VARTYPE vt = PrefixOf(psa)->vt;
    const size_t count = ElementCount(psa);
    for (size_t i = 0; i < count; ++i) {
        ReleaseElement(vt, static_cast<BYTE*>(psa->pvData) + i * psa->cbElements);
    }
    std::free(psa->pvData);
    FreeDescriptor(psa);
    return S_OK;
}

HRESULT WINAPI SafeArrayCopy(SAFEARRAY* psa, SAFEARRAY** ppsaOut)
{
    if (psa == nullptr || ppsaOut == nullptr) {
        return E_INVALIDARG;
    }
    *ppsaOut = nullptr;
    const VARTYPE vt = PrefixOf(psa)->vt;
    SAFEARRAY* copy = AllocateDescriptor(vt, psa->cDims);
    if (copy == nullptr) {
        return E_OUTOFMEMORY;
    }
    for (UINT d = 0; d < psa->cDims; ++d) {
        Bound(copy, d) = Bound(psa, d);
    }
    const size_t count = ElementCount(psa);
    copy->pvData = std::calloc(count == 0 ? 1 : count, copy->cbElements);
    if (copy->pvData == nullptr) {
        FreeDescriptor(copy);
        return E_OUTOFMEMORY;
    }
    for (size_t i = 0; i < count; ++i) {
        const size_t at = i * psa->cbElements;
        const HRESULT hr = CopyElement(vt, static_cast<BYTE*>(copy->pvData) + at,
                                       static_cast<BYTE*>(psa->pvData) + at, psa->cbElements);
        if (FAILED(hr)) {
            SafeArrayDestroy(copy);
            return hr;
        }
    }
    *ppsaOut = copy;
    return S_OK;
}

UINT WINAPI SafeArrayGetDim(SAFEARRAY* psa) { return psa == nullptr ? 0 : psa->cDims; }


HRESULT WINAPI SafeArrayGetVartype(SAFEARRAY* psa, VARTYPE* pvt)
{
    if (psa == nullptr || pvt == nullptr) {
        return E_INVALIDARG;
    }
    *pvt = PrefixOf(psa)->vt;
    return S_OK;
}

HRESULT WINAPI SafeArrayGetLBound(SAFEARRAY* psa, UINT nDim, LONG* plLbound)
{
    if (psa == nullptr || plLbound == nullptr) {
        return E_INVALIDARG;
    }
    if (nDim < 1 || nDim > psa->cDims) {
        return DISP_E_BADINDEX;
    }
    *plLbound = Bound(psa, nDim - 1).lLbound;
    return S_OK;
}

HRESULT WINAPI SafeArrayGetUBound(SAFEARRAY* psa, UINT nDim, LONG* plUbound)
{
    if (psa == nullptr || plUbound == nullptr) {
        return E_INVALIDARG;
    }
    if (nDim < 1 || nDim > psa->cDims) {
        return DISP_E_BADINDEX;
    }
    const SAFEARRAYBOUND& bound = Bound(psa, nDim - 1);
    *plUbound = LONG(LONGLONG(bound.lLbound) + LONGLONG(bound.cElements) - 1);
    return S_OK;
}

HRESULT WINAPI SafeArrayPtrOfIndex(SAFEARRAY* psa, LONG* rgIndices, void** ppvData)
{
    return ElementAt(psa, rgIndices, ppvData);
}

HRESULT WINAPI SafeArrayPutElement(SAFEARRAY* psa, LONG* rgIndices, void* pv)
{
    void* element = nullptr;
    HRESULT hr = ElementAt(psa, rgIndices, &element);
    if (FAILED(hr)) {
        return hr;
    }
    const VARTYPE vt = PrefixOf(psa)->vt;
    // A BSTR or interface is passed itself, everything else by address.
    const void* source = pv;
    if (vt == VT_BSTR || vt == VT_DISPATCH || vt == VT_UNKNOWN) {
        source = &pv;
    } else if (pv == nullptr) {
        return E_INVALIDARG;
    }
    alignas(VARIANT) BYTE fresh[sizeof(VARIANT)];
    hr = CopyElement(vt, fresh, source, psa->cbElements);
    if (FAILED(hr)) {
        return hr;
    }
    ReleaseElement(vt, element);
    std::memcpy(element, fresh, psa->cbElements);
    return S_OK;
}

HRESULT WINAPI SafeArrayGetElement(SAFEARRAY* psa, LONG* rgIndices, void* pv)
{
    if (pv == nullptr) {
        return E_INVALIDARG;
    }
    void* element = nullptr;
    const HRESULT hr = ElementAt(psa, rgIndices, &element);
    if (FAILED(hr)) {
        return hr;
    }
    return CopyElement(PrefixOf(psa)->vt, pv, element, psa->cbElements);
}

HRESULT WINAPI SafeArrayLock(SAFEARRAY* psa)
{
    if (psa == nullptr) {
        return E_INVALIDARG;
    }
    ++psa->cLocks;
    return S_OK;
}

HRESULT WINAPI SafeArrayUnlock(SAFEARRAY* psa)
{
    if (psa == nullptr) {
        return E_INVALIDARG;
    }
    if (psa->cLocks == 0) {
        return E_UNEXPECTED;
    }
    --psa->cLocks;
    return S_OK;
}

HRESULT WINAPI SafeArrayAccessData(SAFEARRAY* psa, void** ppvData)
{
    if (ppvData == nullptr) {
        return E_INVALIDARG;
    }
    const HRESULT hr = SafeArrayLock(psa);
    *ppvData = SUCCEEDED(hr) ? psa->pvData : nullptr;
    return hr;
}

HRESULT WINAPI SafeArrayUnaccessData(SAFEARRAY* psa) { return SafeArrayUnlock(psa); }
