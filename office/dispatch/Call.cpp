#include "office/dispatch/Call.h"

#include "office/dispatch/AutomationError.h"
#include "office/dispatch/Utf8.h"
#include "office/dispatch/VariantSource.h"

Call::Call(OleStringView member, WORD kind, LCID lcid, std::vector<const VARIANT*> arguments,
           const VARIANT* putValue)
    : member(member), kind(kind), lcid(lcid), arguments(std::move(arguments)), putValue(putValue)
{
    VariantInit(&result);
}

Call::~Call() { VariantClear(&result); }

Argument Call::Arg(size_t i) const
{
    return Argument(i < arguments.size() ? arguments[i] : nullptr, static_cast<int>(i));
}

Argument Call::Value() const
{
    if (putValue == nullptr) {
        throw DispatchFailure(DISP_E_PARAMNOTFOUND);
    }
    return Argument(putValue, -1);
}

void Call::ResetResult() { VariantClear(&result); }

void Call::ReturnInt(LONG value)
{
    ResetResult();
    result.vt = VT_I4;
    result.lVal = value;
}

void Call::ReturnBool(bool value)
{
    ResetResult();
    result.vt = VT_BOOL;
    result.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

void Call::ReturnText(OleStringView text)
{
    ResetResult();
    BSTR bstr = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (bstr == nullptr) {
        throw DispatchFailure(E_OUTOFMEMORY);
    }
    result.vt = VT_BSTR;
    result.bstrVal = bstr;
}

void Call::ReturnUtf8(std::string_view text) { ReturnText(Utf8ToUtf16(text)); }

void Call::ReturnObject(IDispatch* object)
{
    ResetResult();
    if (object != nullptr) {
        object->AddRef();
    }
    result.vt = VT_DISPATCH;
    result.pdispVal = object;
}

void Call::ReturnVariant(const VARIANT& value)
{
    ResetResult();
    const HRESULT hr = VariantCopy(&result, VariantSource(value));
    if (FAILED(hr)) {
        throw DispatchFailure(hr);
    }
}

void Call::TakeVariant(VARIANT* value)
{
    ResetResult();
    result = *value;
    VariantInit(value);
}

void Call::MoveResultTo(VARIANT* target)
{
    *target = result;
    VariantInit(&result);
}
