#include "office/dispatch/DispatchObject.h"

#include <cstdio>
#include <exception>
#include <new>

#include "office/dispatch/AutomationError.h"
#include "office/dispatch/Utf8.h"

namespace {

// The caller's error box shows only the invocation failure; the reason goes
// to the diagnostics channel so that users running from a terminal or a log see it.
void RaiseError(EXCEPINFO* info, const OleString& source, const std::string& description, HRESULT scode)
{
    std::fprintf(stderr, "tolvane: %s\n", description.c_str());
    std::fflush(stderr);
    if (info == nullptr) {
        return;
    }
    *info = EXCEPINFO{};
    if (!source.empty()) {
        info->bstrSource = SysAllocStringLen(source.data(), static_cast<UINT>(source.size()));
    }
    const OleString text = Utf8ToUtf16(description);
    info->bstrDescription = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    info->scode = scode;
}

// The argument's position in rgvarg, which lists positional arguments last-first.
void ReportArgument(UINT* puArgErr, int position, UINT firstPositional, UINT positionalCount)
{
    if (puArgErr == nullptr) {
        return;
    }
    if (position < 0) {
        *puArgErr = 0;  // the put value, always in slot 0
    } else if (static_cast<UINT>(position) < positionalCount) {
        *puArgErr = firstPositional + positionalCount - 1 - static_cast<UINT>(position);
    }
}

// Calls the default member (Item, or DISPID_VALUE) of `object` with `arguments`.
HRESULT InvokeDefaultMember(IDispatch* object, DISPPARAMS* arguments, LCID lcid, VARIANT* result,
                            EXCEPINFO* pExcepInfo, UINT* puArgErr)
{
    DISPID dispid = DISPID_VALUE;
    OLECHAR itemName[] = OLESTR("Item");
    LPOLESTR names[] = {itemName};
    if (FAILED(object->GetIDsOfNames(IID_NULL, names, 1, lcid, &dispid))) {
        dispid = DISPID_VALUE;
    }
    return object->Invoke(dispid, IID_NULL, lcid, DISPATCH_METHOD | DISPATCH_PROPERTYGET, arguments, result,
                          pExcepInfo, puArgErr);
}

}  // namespace

HRESULT DispatchObject::GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID, DISPID* rgDispId)
{
    if (!IsEqualIID(riid, IID_NULL)) {
        return DISP_E_UNKNOWNINTERFACE;
    }
    if (rgszNames == nullptr || rgDispId == nullptr || cNames == 0) {
        return E_INVALIDARG;
    }
    HRESULT hr = S_OK;
    if (rgszNames[0] == nullptr || !Table().FindName(rgszNames[0], &rgDispId[0])) {
        rgDispId[0] = DISPID_UNKNOWN;
        hr = DISP_E_UNKNOWNNAME;
    }
    // Members take no named parameters.
    for (UINT i = 1; i < cNames; ++i) {
        rgDispId[i] = DISPID_UNKNOWN;
        hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
}

HRESULT DispatchObject::Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pDispParams,
                               VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr)
{
    if (!IsEqualIID(riid, IID_NULL)) {
        return DISP_E_UNKNOWNINTERFACE;
    }
    const bool put = (wFlags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
    const bool get = (wFlags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET)) != 0;
    if (put == get) {
        return E_INVALIDARG;
    }
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    DISPPARAMS& params = pDispParams != nullptr ? *pDispParams : none;
    if (params.cArgs > 0 && params.rgvarg == nullptr) {
        return E_INVALIDARG;
    }

    const int index = Table().Find(dispIdMember, put);
    if (index < 0) {
        return DISP_E_MEMBERNOTFOUND;
    }
    const MemberInfo& member = Table().At(static_cast<size_t>(index));

    // Named arguments: only the value of a put. It comes first in rgvarg.
    UINT firstPositional = 0;
    const VARIANT* putValue = nullptr;
    if (put) {
        if (params.cArgs == 0) {
            return DISP_E_BADPARAMCOUNT;
        }
        if (params.cNamedArgs > 1 ||
            (params.cNamedArgs == 1 && (params.rgdispidNamedArgs == nullptr ||
                                        params.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT))) {
            return DISP_E_PARAMNOTFOUND;
        }
        putValue = &params.rgvarg[0];
        firstPositional = 1;
    } else if (params.cNamedArgs > 0) {
        return DISP_E_NONAMEDARGS;
    }

    const UINT positional = params.cArgs - firstPositional;
    if (positional < member.minArgs) {
        return DISP_E_BADPARAMCOUNT;
    }
    // Surplus arguments on a property get go to the result's default member.
    const bool forward = positional > member.maxArgs;
    if (forward && (put || (member.kinds & Kind::Get) == 0)) {
        return DISP_E_BADPARAMCOUNT;
    }
    const UINT taken = forward ? member.maxArgs : positional;
    std::vector<const VARIANT*> arguments;
    arguments.reserve(taken);
    for (UINT i = 0; i < taken; ++i) {
        arguments.push_back(&params.rgvarg[params.cArgs - 1 - i]);
    }
    for (UINT i = 0; i < taken && i < member.minArgs; ++i) {
        if (Argument(arguments[i], static_cast<int>(i)).IsMissing()) {
            ReportArgument(puArgErr, static_cast<int>(i), firstPositional, positional);
            return DISP_E_PARAMNOTOPTIONAL;
        }
    }

    Call call(member.name, wFlags, lcid, std::move(arguments), putValue);
    try {
        RunMember(static_cast<size_t>(index), call);
    } catch (const AutomationError& refusal) {
        RaiseError(pExcepInfo, ErrorSource(), refusal.description, refusal.scode);
        return DISP_E_EXCEPTION;
    } catch (const DispatchFailure& failure) {
        ReportArgument(puArgErr, failure.argument, firstPositional, positional);
        return failure.hr;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (const std::exception& unexpected) {
        RaiseError(pExcepInfo, ErrorSource(), unexpected.what(), E_FAIL);
        return DISP_E_EXCEPTION;
    }

    VARIANT result;
    call.MoveResultTo(&result);
    if (forward) {
        if (result.vt != VT_DISPATCH || result.pdispVal == nullptr) {
            VariantClear(&result);
            return DISP_E_BADPARAMCOUNT;
        }
        DISPPARAMS surplus = {params.rgvarg, nullptr, positional - taken, 0};
        const HRESULT hr = InvokeDefaultMember(result.pdispVal, &surplus, lcid, pVarResult, pExcepInfo, puArgErr);
        VariantClear(&result);
        return hr;
    }
    if (pVarResult != nullptr) {
        *pVarResult = result;
    } else {
        VariantClear(&result);
    }
    return S_OK;
}
