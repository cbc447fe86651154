#include "automation/AutomationSession.h"

namespace {

VARIANT IntVariant(int32_t value)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

VARIANT BoolVariant(bool flag)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BOOL;
    v.boolVal = static_cast<VARIANT_BOOL>(static_cast<unsigned char>(flag));
    return v;
}

// Owns the BSTR argument it builds and clears it after the call, even when the call throws.
class TextArgument {
public:
    explicit TextArgument(LPCOLESTR text)
    {
        VariantInit(&variant);
        variant.vt = VT_BSTR;
        variant.bstrVal = SysAllocString(text);
    }
    explicit TextArgument(const char* utf8)
    {
        VariantInit(&variant);
        AutomationSession::MakeTextVariant(&variant, utf8);
    }
    ~TextArgument() { VariantClear(&variant); }
    TextArgument(const TextArgument&) = delete;
    TextArgument& operator=(const TextArgument&) = delete;

    VARIANT variant;
};

VARIANT EmptyResult()
{
    VARIANT result;
    VariantInit(&result);
    return result;
}

}  // namespace

void AutomationSession::PutPropertyInt(IDispatch* object, LPCOLESTR name, int32_t value)
{
    AutoWrap(DISPATCH_PROPERTYPUT, nullptr, object, name, 1, IntVariant(value));
}

void AutomationSession::PutPropertyText(IDispatch* object, LPCOLESTR name, const char* text)
{
    TextArgument argument(text);
    AutoWrap(DISPATCH_PROPERTYPUT, nullptr, object, name, 1, argument.variant);
}

void AutomationSession::PutPropertyVariant(IDispatch* object, LPCOLESTR name, VARIANT value)
{
    AutoWrap(DISPATCH_PROPERTYPUT, nullptr, object, name, 1, value);
}

VARIANT AutomationSession::GetProperty(IDispatch* object, LPCOLESTR name)
{
    VARIANT result = EmptyResult();
    AutoWrap(DISPATCH_PROPERTYGET, &result, object, name, 0);
    return result;
}

VARIANT AutomationSession::GetPropertyByText(IDispatch* object, LPCOLESTR name, LPCOLESTR text)
{
    TextArgument argument(text);
    VARIANT result = EmptyResult();
    AutoWrap(DISPATCH_PROPERTYGET, &result, object, name, 1, argument.variant);
    return result;
}

VARIANT AutomationSession::GetPropertyByInt(IDispatch* object, LPCOLESTR name, int32_t value)
{
    VARIANT result = EmptyResult();
    AutoWrap(DISPATCH_PROPERTYGET, &result, object, name, 1, IntVariant(value));
    return result;
}

VARIANT AutomationSession::GetPropertyByInts(IDispatch* object, LPCOLESTR name, int32_t a, int32_t b)
{
    VARIANT result = EmptyResult();
    AutoWrap(DISPATCH_PROPERTYGET, &result, object, name, 2, IntVariant(a), IntVariant(b));
    return result;
}

VARIANT AutomationSession::GetPropertyByVariants(IDispatch* object, LPCOLESTR name, VARIANT a, VARIANT b)
{
    VARIANT result = EmptyResult();
    AutoWrap(DISPATCH_PROPERTYGET, &result, object, name, 2, a, b);
    return result;
}

VARIANT AutomationSession::CallMethod(IDispatch* object, LPCOLESTR name)
{
    VARIANT result = EmptyResult();
    AutoWrap(DISPATCH_METHOD, &result, object, name, 0);
    return result;
}

VARIANT AutomationSession::CallMethodWithText(IDispatch* object, LPCOLESTR name, LPCOLESTR text)
{
    TextArgument argument(text);
    VARIANT result = EmptyResult();
    AutoWrap(DISPATCH_METHOD, &result, object, name, 1, argument.variant);
    return result;
}

VARIANT AutomationSession::CallMethodWithBool(IDispatch* object, LPCOLESTR name, bool flag)
{
    VARIANT result = EmptyResult();
    AutoWrap(DISPATCH_METHOD, &result, object, name, 1, BoolVariant(flag));
    return result;
}

VARIANT AutomationSession::CallMethodWithInt(IDispatch* object, LPCOLESTR name, int32_t value)
{
    VARIANT result = EmptyResult();
    AutoWrap(DISPATCH_METHOD, &result, object, name, 1, IntVariant(value));
    return result;
}

VARIANT AutomationSession::CallMethodWithInts(IDispatch* object, LPCOLESTR name, int32_t a, int32_t b)
{
    VARIANT result = EmptyResult();
    AutoWrap(DISPATCH_METHOD, &result, object, name, 2, IntVariant(a), IntVariant(b));
    return result;
}

VARIANT AutomationSession::CallMethodWithTextBoolIntText(IDispatch* object, LPCOLESTR name, LPCOLESTR a, bool b,
                                                         int32_t c, LPCOLESTR d)
{
    TextArgument first(a);
    TextArgument last(d);
    VARIANT result = EmptyResult();
    AutoWrap(DISPATCH_METHOD, &result, object, name, 4, first.variant, BoolVariant(b), IntVariant(c), last.variant);
    return result;
}

VARIANT AutomationSession::CallMethodWithTextBoolIntInt(IDispatch* object, LPCOLESTR name, LPCOLESTR a, bool b,
                                                        int32_t c, int32_t d)
{
    TextArgument first(a);
    VARIANT result = EmptyResult();
    AutoWrap(DISPATCH_METHOD, &result, object, name, 4, first.variant, BoolVariant(b), IntVariant(c),
             IntVariant(d));
    return result;
}
