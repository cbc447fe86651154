#include <cstdio>
#include <functional>
#include <sstream>

#include "tests/support/OleText.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/Variants.h"

namespace {

std::string Quoted(BSTR text)
{
    std::string utf8 = BstrToUtf8(text);
    std::string quoted = "\"";
    for (char c : utf8) {
        if (c == '"' || c == '\\') {
            quoted.push_back('\\');
        }
        quoted.push_back(c);
    }
    return quoted + "\"";
}

std::string Number(double value)
{
    std::ostringstream out;
    out.precision(15);
    out << value;
    return out.str();
}

std::string DescribeArray(SAFEARRAY* array)
{
    if (array == nullptr) {
        return "{null array}";
    }
    const UINT dims = SafeArrayGetDim(array);
    VARTYPE vt = VT_EMPTY;
    SafeArrayGetVartype(array, &vt);
    std::vector<LONG> index(dims);
    // Walks the first dimension outermost, as a table is read row by row.
    std::function<std::string(UINT)> level = [&](UINT d) {
        LONG low = 0;
        LONG high = -1;
        SafeArrayGetLBound(array, d + 1, &low);
        SafeArrayGetUBound(array, d + 1, &high);
        std::string text = "{";
        for (LONG i = low; i <= high; ++i) {
            index[d] = i;
            if (i > low) {
                text += ", ";
            }
            if (d + 1 < dims) {
                text += level(d + 1);
                continue;
            }
            VARIANT element;
            VariantInit(&element);
            if (vt == VT_VARIANT) {
                SafeArrayGetElement(array, index.data(), &element);
            } else {
                void* slot = nullptr;
                SafeArrayPtrOfIndex(array, index.data(), &slot);
                VARIANT borrowed;
                VariantInit(&borrowed);
                borrowed.vt = VARTYPE(vt | VT_BYREF);
                borrowed.byref = slot;
                VariantCopyInd(&element, &borrowed);
            }
            text += DescribeVariant(element);
            VariantClear(&element);
        }
        return text + "}";
    };
    return level(0);
}

}  // namespace

std::string DescribeVariant(const VARIANT& v)
{
    if ((v.vt & VT_BYREF) != 0) {
        VARIANT direct;
        VariantInit(&direct);
        if (FAILED(CopyVariantInd(&direct, v))) {
            return "BYREF:?";
        }
        std::string text = DescribeVariant(direct);
        VariantClear(&direct);
        return text;
    }
    if ((v.vt & VT_ARRAY) != 0) {
        return DescribeArray(v.parray);
    }
    switch (v.vt) {
    case VT_EMPTY: return "EMPTY";
    case VT_NULL: return "NULL";
    case VT_I4: return std::to_string(v.lVal);
    case VT_BSTR: return v.bstrVal == nullptr ? "BSTR:null" : Quoted(v.bstrVal);
    case VT_BOOL: return v.boolVal == VARIANT_FALSE ? "false" : (v.boolVal == VARIANT_TRUE ? "true" : "BOOL:" + std::to_string(v.boolVal));
    case VT_I2: return "I2:" + std::to_string(v.iVal);
    case VT_UI1: return "UI1:" + std::to_string(v.bVal);
    case VT_I1: return "I1:" + std::to_string(static_cast<int>(static_cast<signed char>(v.cVal)));
    case VT_UI2: return "UI2:" + std::to_string(v.uiVal);
    case VT_UI4: return "UI4:" + std::to_string(v.ulVal);
    case VT_INT: return "INT:" + std::to_string(v.intVal);
    case VT_UINT: return "UINT:" + std::to_string(v.uintVal);
    case VT_I8: return "I8:" + std::to_string(v.llVal);
    case VT_UI8: return "UI8:" + std::to_string(v.ullVal);
    case VT_R4: return "R4:" + Number(v.fltVal);
    case VT_R8: return "R8:" + Number(v.dblVal);
    case VT_DATE: return "DATE:" + Number(v.date);
    case VT_CY: return "CY:" + Number(static_cast<double>(v.cyVal.int64) / 10000);
    case VT_ERROR:
        if (v.scode == DISP_E_PARAMNOTFOUND) {
            return "missing";
        } else {
            char code[32];
            std::snprintf(code, sizeof code, "ERROR:0x%08lx", static_cast<unsigned long>(static_cast<ULONG>(v.scode)));
            return code;
        }
    case VT_DISPATCH:
    case VT_UNKNOWN:
        if (v.punkVal == nullptr) {
            return "<Nothing>";
        }
        if (auto* scripted = dynamic_cast<ScriptedObject*>(v.punkVal)) {
            return "<" + scripted->Name() + ">";
        }
        return "<object>";
    default:
        return "VT:" + std::to_string(v.vt);
    }
}

std::string RecordedCall::Text() const
{
    const std::string target = object + "." + member;
    if (kind == 0) {
        return "lookup " + target + " failed";
    }
    std::string list;
    for (size_t i = 0; i < arguments.size(); ++i) {
        list += (i > 0 ? ", " : "") + arguments[i];
    }
    if ((kind & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0) {
        std::string text = ((kind & DISPATCH_PROPERTYPUTREF) != 0 ? "putref " : "put ") + target;
        if (!arguments.empty()) {
            text += "(" + list + ")";
        }
        text += " = " + value.value_or("?");
        return namedValue ? text : text + " (positional)";
    }
    const bool method = (kind & DISPATCH_METHOD) != 0;
    const bool get = (kind & DISPATCH_PROPERTYGET) != 0;
    if (get && !method) {
        return "get " + target + (arguments.empty() ? "" : "(" + list + ")");
    }
    return std::string(get ? "call/get " : "call ") + target + "(" + list + ")";
}
