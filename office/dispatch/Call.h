// One invocation of a member, as its handler sees it: the arguments in their
// natural order (first parameter first), the value of a put, and the result.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "office/dispatch/Argument.h"

class Call {
public:
    Call(OleStringView member, WORD kind, LCID lcid, std::vector<const VARIANT*> arguments,
         const VARIANT* putValue);
    ~Call();
    Call(const Call&) = delete;
    Call& operator=(const Call&) = delete;

    OleStringView Member() const { return member; }  // as the table spells it
    WORD Kind() const { return kind; }
    bool IsPut() const { return putValue != nullptr; }
    LCID Lcid() const { return lcid; }

    // Positional arguments; an index past the end reads as missing.
    size_t Count() const { return arguments.size(); }
    bool Has(size_t i) const { return !Arg(i).IsMissing(); }
    Argument Arg(size_t i) const;
    // The value being put (the DISPID_PROPERTYPUT argument).
    Argument Value() const;

    // Shorthands: the argument, or the fallback when it is missing.
    bool Bool(size_t i) const { return Arg(i).AsBool(); }
    bool Bool(size_t i, bool fallback) const { return Has(i) ? Arg(i).AsBool() : fallback; }
    LONG Int(size_t i) const { return Arg(i).AsInt(); }
    LONG Int(size_t i, LONG fallback) const { return Has(i) ? Arg(i).AsInt() : fallback; }
    double Double(size_t i) const { return Arg(i).AsDouble(); }
    OleString Text(size_t i) const { return Arg(i).AsText(); }
    OleString Text(size_t i, OleStringView fallback) const
    {
        return Has(i) ? Arg(i).AsText() : OleString(fallback);
    }
    std::string Utf8(size_t i) const { return Arg(i).AsUtf8(); }
    Index IndexArg(size_t i) const { return Arg(i).AsIndex(); }
    ComPtr<IDispatch> Object(size_t i) const { return Arg(i).AsObject(); }

    // The result; a member that sets none returns VT_EMPTY.
    void ReturnInt(LONG value);
    void ReturnBool(bool value);
    void ReturnText(OleStringView text);
    void ReturnUtf8(std::string_view text);
    // An object, or Nothing (VT_DISPATCH holding null) for a null pointer.
    void ReturnObject(IDispatch* object);
    template <class T>
    void ReturnObject(const ComPtr<T>& object)
    {
        ReturnObject(static_cast<IDispatch*>(object.Get()));
    }
    void ReturnNothing() { ReturnObject(static_cast<IDispatch*>(nullptr)); }
    void ReturnVariant(const VARIANT& value);  // copied
    void TakeVariant(VARIANT* value);          // ownership moves in; *value is left empty

    // For the dispatcher: hands the result over and leaves VT_EMPTY behind.
    void MoveResultTo(VARIANT* target);

private:
    void ResetResult();

    OleStringView member;
    WORD kind;
    LCID lcid;
    std::vector<const VARIANT*> arguments;
    const VARIANT* putValue;
    VARIANT result;
};
