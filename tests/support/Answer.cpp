#include "tests/support/OleText.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/Variants.h"

Answer::Answer() { VariantInit(&value); }

Answer::Answer(const Answer& other) : object(other.object), hr(other.hr), description(other.description)
{
    VariantInit(&value);
    CopyVariant(&value, other.value);
}

Answer& Answer::operator=(const Answer& other)
{
    if (this != &other) {
        CopyVariant(&value, other.value);
        object = other.object;
        hr = other.hr;
        description = other.description;
    }
    return *this;
}

Answer::~Answer() { VariantClear(&value); }

Answer Answer::Int(LONG number)
{
    Answer a;
    a.value.vt = VT_I4;
    a.value.lVal = number;
    return a;
}

Answer Answer::Text(std::u16string_view text)
{
    Answer a;
    a.value.vt = VT_BSTR;
    const OleString ole = ToOle(text);
    a.value.bstrVal = SysAllocStringLen(ole.data(), static_cast<UINT>(ole.size()));
    return a;
}

Answer Answer::Bool(bool flag)
{
    Answer a;
    a.value.vt = VT_BOOL;
    a.value.boolVal = flag ? VARIANT_TRUE : VARIANT_FALSE;
    return a;
}

Answer Answer::Double(double number)
{
    Answer a;
    a.value.vt = VT_R8;
    a.value.dblVal = number;
    return a;
}

Answer Answer::Empty() { return Answer(); }

Answer Answer::Nothing()
{
    Answer a;
    a.value.vt = VT_DISPATCH;
    a.value.pdispVal = nullptr;
    return a;
}

Answer Answer::Object(ScriptedObject& target)
{
    Answer a;
    a.object = &target;
    return a;
}

Answer Answer::Value(const VARIANT& variant)
{
    Answer a;
    CopyVariant(&a.value, variant);
    return a;
}

Answer Answer::Failure(HRESULT failure, std::string text)
{
    Answer a;
    a.hr = failure;
    a.description = std::move(text);
    return a;
}

void Answer::CopyTo(VARIANT* out) const
{
    VariantInit(out);
    if (object != nullptr) {
        object->AddRef();
        out->vt = VT_DISPATCH;
        out->pdispVal = object;
        return;
    }
    CopyVariant(out, value);
}
